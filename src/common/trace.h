// The trace of a computation that explains itself: its intermediate values in the order computed,
// each under a name, and lines of text that say which method ran, why a value was not computed or
// what to beware of. An engine fills one; every page shows it through FormatTrace, so that a
// mismatch with a card or a host can be followed to the step where it starts.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

// One step of a trace: a named value (bytes, or text such as digits or a title) with an optional
// note on it, or a line of text alone (no name, no value, only the note).
struct TraceStep {
    std::string name{};  // "UDK (raw)", "CBC 1"; empty for a line of text alone
    std::variant<std::monostate, std::vector<uint8_t>, std::string> value{};
    std::string note{};  // a line of its own after the value's

    bool operator==(const TraceStep&) const = default;
};

class CTrace {
public:
    // Value adds a named value of bytes, with a note on it when `note` is not empty.
    void Value(std::string name, std::span<const uint8_t> bytes, std::string note = {});
    // Values adds each of `values` as "name 1", "name 2" ... (a CBC chain block by block).
    void Values(const std::string& name, const std::vector<std::vector<uint8_t>>& values);
    // Text adds a named value that is not bytes: digits, a title.
    void Text(std::string name, std::string text);
    // Note adds a line of text alone.
    void Note(std::string line);
    // Append adds the steps of `other` after these.
    void Append(const CTrace& other);

    const std::vector<TraceStep>& Steps() const { return m_steps; }

private:
    std::vector<TraceStep> m_steps;
};

// FormatTrace gives the text a page writes into its trace field: one "name: VALUE" line per value,
// bytes in upper-case hex without blanks, then its note on a line of its own; a line of text alone
// as it is. Lines are separated by CR LF, with none after the last.
std::string FormatTrace(const CTrace& trace);
