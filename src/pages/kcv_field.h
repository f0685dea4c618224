// The read-only "KCV" field that the key pages show beside the key's byte counter.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/page_form.h"
#include "crypto/block/key_check_value.h"

// KcvField is the field "kcv", labelled "KCV", read-only, in the row of the field "key".
Field KcvField();

// KcvText gives the key check value of a key as typed (blanks ignored) as 6 upper-case hex
// digits, or "" while the key is empty, not hex, or of a length the cipher does not take.
std::string KcvText(KcvCipher cipher, std::string_view key_text);

// BlockCipherFields gives the form the block-cipher pages share: iv, data, key and result with
// their byte counters, and the key's check value.
std::vector<Field> BlockCipherFields();
