// The values of EMV/PBOC data objects explained in Chinese: dates, amounts, codes, texts, the PAN
// and Track 2, DOLs, the AFL, and the bit fields (AIP, AUC, TVR, TSI, CVM List and Results,
// terminal capabilities, TTQ, CTQ, IAC/TAC, CID).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tlv/emv_tlv_reader.h"

// EmvContext is what other objects of the same data tell about the one being explained: the
// currency of an amount and the code table of a text.
struct EmvContext {
    std::optional<uint16_t> transaction_currency;  // 5F2A
    std::optional<int> transaction_exponent;       // 5F36
    std::optional<uint16_t> application_currency;  // 9F42
    std::optional<uint16_t> check_currency;        // 9F51, for when 9F42 is absent
    std::optional<int> application_exponent;       // 9F44
    std::optional<uint16_t> second_currency;       // DF71, the PBOC second electronic-cash currency
    std::optional<uint8_t> code_table;             // 9F11
};

// NoteEmvContext adds what `entry` tells to the context; the first object of each tag counts.
// The listing notes every entry before it explains any, since a field-55 dump lists 9F02 before
// 5F2A.
void NoteEmvContext(EmvContext& context, const EmvTlvEntry& entry);

// ExplainEmvValue gives the lines, in Chinese and without indentation, that explain `value` of the
// object with tag `tag`; no lines for an empty value or a tag it has no explanation for. A value
// of the wrong size or with bad digits is said to be so, never explained as if it were right.
std::vector<std::string> ExplainEmvValue(std::span<const uint8_t> tag,
                                         std::span<const uint8_t> value, const EmvContext& context);

// StatusWordMeaning gives the meaning of SW1 SW2 (ISO/IEC 7816-4 5.1.3, EMV Book 3 and the PBOC
// returns 93xx, 94xx).
std::string StatusWordMeaning(uint8_t sw1, uint8_t sw2);
