#include "common/trace.h"

#include <utility>

#include "common/hex_codec.h"

void CTrace::Value(std::string name, std::span<const uint8_t> bytes, std::string note) {
    m_steps.push_back({.name = std::move(name),
                       .value = std::vector<uint8_t>(bytes.begin(), bytes.end()),
                       .note = std::move(note)});
}

void CTrace::Values(const std::string& name, const std::vector<std::vector<uint8_t>>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        Value(name + " " + std::to_string(i + 1), values[i]);
    }
}

void CTrace::Text(std::string name, std::string text) {
    m_steps.push_back({.name = std::move(name), .value = std::move(text)});
}

void CTrace::Note(std::string line) {
    m_steps.push_back({.note = std::move(line)});
}

void CTrace::Append(const CTrace& other) {
    m_steps.insert(m_steps.end(), other.m_steps.begin(), other.m_steps.end());
}

std::string FormatTrace(const CTrace& trace) {
    std::string text;
    const auto new_line = [&text] {
        if (!text.empty()) {
            text += "\r\n";
        }
    };
    for (const TraceStep& step : trace.Steps()) {
        if (!step.name.empty()) {
            new_line();
            text += step.name + ": ";
            if (const auto* bytes = std::get_if<std::vector<uint8_t>>(&step.value)) {
                AppendHex(text, *bytes);
            } else if (const auto* value = std::get_if<std::string>(&step.value)) {
                text += *value;
            }
        }
        if (!step.note.empty()) {
            new_line();
            text += step.note;
        }
    }
    return text;
}
