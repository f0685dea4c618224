#include "support/vector_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/hex_codec.h"

namespace {

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

std::vector<std::string> SplitColumns(const std::string& line) {
    std::vector<std::string> columns;
    size_t start = 0;
    for (;;) {
        const size_t bar = line.find(" | ", start);
        columns.push_back(Trim(line.substr(start, bar == std::string::npos ? bar : bar - start)));
        if (bar == std::string::npos) {
            return columns;
        }
        start = bar + 3;
    }
}

}  // namespace

std::string VectorRecord::Where() const {
    return file + ":" + std::to_string(line) + " " + Name();
}

std::vector<uint8_t> VectorRecord::Bytes(size_t i) const {
    const std::string& value = fields.at(i);
    if (value == "-") {
        return {};
    }
    if (value.rfind("pattern ", 0) == 0) {
        std::vector<uint8_t> bytes(std::stoul(value.substr(8)));
        for (size_t k = 0; k < bytes.size(); ++k) {
            bytes[k] = static_cast<uint8_t>(k);
        }
        return bytes;
    }
    EXPECT_EQ(CheckHexText(value), 0) << Where() << ": column " << i << " is not hex";
    return HexToBytes(value);
}

std::vector<VectorRecord> LoadVectorFile(const std::string& name) {
    const std::string path = std::string(KEYWRIGHT_VECTOR_DIR) + "/" + name;
    std::ifstream in(path);
    std::vector<VectorRecord> records;
    if (!in) {
        ADD_FAILURE() << "vector file " << path << " is missing";
        return records;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        // '#' starts a comment only at the start of a line: vector names use it ("B.1 #0").
        const std::string content = Trim(line);
        if (content.empty() || content.front() == '#') {
            continue;
        }
        records.push_back(VectorRecord{name, number, SplitColumns(content)});
    }
    if (records.empty()) {
        ADD_FAILURE() << "vector file " << path << " holds no vector";
    }
    return records;
}

std::vector<VectorRecord> LoadVectors(const std::string& name, size_t column,
                                      const std::string& value) {
    std::vector<VectorRecord> matching;
    for (auto& record : LoadVectorFile(name)) {
        if (record.fields.size() > column && record.fields[column] == value) {
            matching.push_back(std::move(record));
        }
    }
    if (matching.empty()) {
        ADD_FAILURE() << name << " has no vector with " << value << " in column " << column;
    }
    return matching;
}
