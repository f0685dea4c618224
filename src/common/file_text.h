// Files in and out of hex fields: what a loaded file types into a field, and the bytes a hex
// field saves as a binary file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/page_form.h"

// FileTextForField gives what loading a file types into a hex field: a file of nothing but hex
// digits, blanks, tabs and line breaks (a saved dump) as its text, any other file (a binary
// image) as the upper-case hex of its bytes.
std::string FileTextForField(std::string_view content);

// FieldBytes gives the bytes a hex field's text stands for, blanks, tabs and line breaks left
// out, or nothing when the rest is not an even number of hex digits.
std::optional<std::vector<uint8_t>> FieldBytes(std::string_view text);

// TypedText gives the text as typing or loading it into the field would leave it: a multi-line
// field holds line breaks as CR LF, a single-line field cannot hold a line break at its end.
std::string TypedText(const Field& field, std::string text);
