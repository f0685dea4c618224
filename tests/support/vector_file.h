// Reader for the known-answer vector files under tests/vectors/.
//
// One vector per line: `name | field | ... | expected`, fields separated by " | ", '#' starts a
// comment. Binary values are upper-case hex, "-" is empty data and "pattern N" is the N bytes
// 00 01 02 ... (byte i = i mod 256). A missing or empty file fails the test that asked for it, so
// a lost file can never pass silently.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct VectorRecord {
    std::string file;
    int line = 0;
    std::vector<std::string> fields;  // every column, the name first

    const std::string& Name() const { return fields.front(); }
    // Where gives "file:line name" for failure messages.
    std::string Where() const;
    // Bytes decodes column i ("-" is empty, "pattern N" the counting pattern).
    std::vector<uint8_t> Bytes(size_t i) const;
};

// LoadVectorFile reads tests/vectors/<name>; it fails the current test (and returns nothing) when
// the file is missing or holds no vector.
std::vector<VectorRecord> LoadVectorFile(const std::string& name);

// LoadVectorFile with a filter: only the vectors whose column `column` equals `value`; fails the
// test when none matches.
std::vector<VectorRecord> LoadVectors(const std::string& name, size_t column,
                                      const std::string& value);
