// One online transaction computed as an issuer host would, every step traced: the card key (UDK)
// from the issuer master key, the session key, the application cryptogram and its check against
// the card's ARQC, and the ARPC with the value of tag 91. Each value is computed as far as the
// inputs reach; the trace says which method ran and, for a value left out, what it lacked.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/trace.h"
#include "payment/emv_crypto.h"

// The key of the ARPC: the session key (PBOC, Visa CVN 18) or the card key (Visa CVN 10,
// Mastercard CVN 16).
enum class EmvArpcKey { SessionKey, CardKey };

struct EmvCryptogramInputs {
    EmvCipher cipher = EmvCipher::Tdes;
    EmvUdkMethod udk_method = EmvUdkMethod::OptionA;
    EmvSessionMethod session_method = EmvSessionMethod::Pboc;
    EmvPadding padding = EmvPadding::Method2;
    EmvArpcMethod arpc_method = EmvArpcMethod::Method1;
    EmvArpcKey arpc_key = EmvArpcKey::SessionKey;

    EmvKey imk{};
    std::string pan;                             // decimal digits; unread by MasterKey
    std::optional<uint8_t> psn;                  // absent: 00
    std::optional<std::array<uint8_t, 2>> atc;   // absent: no session key, unless None
    std::optional<std::array<uint8_t, 4>> un;    // read by the Mastercard session key only
    std::vector<uint8_t> data;                   // the cryptogram's data; empty: no cryptogram
    std::optional<std::array<uint8_t, 8>> arqc;  // the card's cryptogram: checked, and the ARPC's
    std::optional<std::array<uint8_t, 2>> arc;   // ARPC method 1
    std::optional<std::array<uint8_t, 4>> csu;   // ARPC method 2
    std::vector<uint8_t> proprietary;            // ARPC method 2: 0 to 8 bytes
};

// What was computed; an absent value was not (its note in the trace says why).
struct EmvCryptogramResults {
    EmvKey udk{};
    std::optional<EmvKey> session_key;
    std::optional<std::array<uint8_t, 8>> ac;
    std::optional<bool> arqc_matches;  // the card's ARQC against the AC, when both are there
    std::optional<std::vector<uint8_t>> arpc;   // 8 bytes (method 1) or 4 bytes (method 2)
    std::optional<std::vector<uint8_t>> tag91;  // ARPC || ARC, or ARPC || CSU || proprietary data
    CTrace trace;
};

// EmvComputeCryptograms computes the card key, then the session key when there is an ATC (and a UN
// for Mastercard), the AC over the data when there is a session key, and the ARPC on the card's
// ARQC, or else on the AC, when the ARPC's key, and the ARC (method 1) or CSU (method 2), are
// there. Returns nullopt for a choice that has no SM4 form (Option B, the common or Mastercard
// session key, padding method 1, ARPC method 2), whether or not the computation reaches it, for
// Option A or B on a PAN that fails EmvPanDigitsValid, and for more than 8 bytes of proprietary
// data.
std::optional<EmvCryptogramResults> EmvComputeCryptograms(const EmvCryptogramInputs& in);
