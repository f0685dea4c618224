// EMV and PBOC card cryptography for online transactions, in two-key triple DES and SM4: the card
// key (UDK) from the issuer master key, the session key, the application cryptogram and the ARPC.
// Every function also gives the values it computed on the way, so that a mismatch with a card can
// be traced to the step where it starts.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class EmvCipher { Tdes, Sm4 };

// EMV 4.3 Book 2 A1.4.1 (Option A) and A1.4.2 (Option B). Under SM4, Option A is the PBOC form
// UDK = SM4(IMK)[Y || ~Y]; Option B has no SM4 form. MasterKey derives nothing: the master key
// given is the card key itself (a card whose UDK is known).
enum class EmvUdkMethod { OptionA, OptionB, MasterKey };

// Pboc: the PBOC key of either cipher (encrypting 000000000000 || ATC and its complement); Common:
// the EMV common session key (Book 2 A1.3.1); Mastercard: SKD with the unpredictable number;
// None: the UDK itself. Common and Mastercard have no SM4 form.
enum class EmvSessionMethod { Pboc, Common, Mastercard, None };

// ISO/IEC 9797-1 padding method 1 (00 bytes when needed) or 2 (80 then 00 bytes, always). The SM4
// MAC pads by method 2 only.
enum class EmvPadding { Method1, Method2 };

// EMV Book 2 8.2.1 (method 1: ARQC and ARC) and 8.2.2 (method 2: ARQC, CSU and proprietary data).
enum class EmvArpcMethod { Method1, Method2 };

using EmvKey = std::array<uint8_t, 16>;

// A derived 16-byte key. Triple DES: two 8-byte inputs, each encrypted into one half. SM4: one
// 16-byte input and one output block.
struct EmvKeyDerivation {
    std::vector<std::vector<uint8_t>> inputs;
    std::vector<std::vector<uint8_t>> outputs;
    EmvKey raw{};                  // the key as computed
    EmvKey key{};                  // triple DES: odd parity adjusted; SM4: the raw key
    std::array<uint8_t, 3> kcv{};  // EmvKcv of the key
    bool single_des = false;       // triple DES with equal halves, which is single DES
};

struct EmvUdkDerivation {
    EmvUdkMethod method = EmvUdkMethod::OptionA;  // the method used: Option B falls back to A
    std::string x_digits;            // Option B: PAN || PSN, with a leading 0 to an even length
    std::array<uint8_t, 20> sha1{};  // Option B: SHA-1 of x_digits as BCD
    std::array<uint8_t, 8> y{};
    std::array<uint8_t, 8> not_y{};
    EmvKeyDerivation key;
};

struct EmvMacComputation {
    std::vector<uint8_t> padded;              // the data after padding
    std::vector<std::vector<uint8_t>> chain;  // the CBC value after each block
    std::vector<uint8_t> decrypted;           // retail MAC: DES^-1(KR) of the last chain value
    std::array<uint8_t, 8> mac{};
};

struct EmvArpcComputation {
    std::vector<uint8_t> input;   // method 1: ARQC ^ (ARC || 00..), under SM4 followed by 00 x 8;
                                  // method 2: ARQC || CSU || proprietary data
    std::vector<uint8_t> output;  // method 1: the whole encrypted block
    EmvMacComputation mac;        // method 2: the retail MAC over `input`
    std::vector<uint8_t> arpc;    // 8 bytes (method 1) or 4 bytes (method 2)
};

// EmvPanDigitsValid tells whether `pan` is 1 to 19 decimal digits.
bool EmvPanDigitsValid(std::string_view pan);

// EmvOptionAY gives Y of Option A: the rightmost 16 digits of PAN || PSN (the PSN as its two hex
// digits), left-padded with 0, as 8 BCD bytes. `pan` must pass EmvPanDigitsValid.
std::array<uint8_t, 8> EmvOptionAY(std::string_view pan, uint8_t psn);

// EmvAdjustParity sets the low bit of every byte so that it has an odd number of 1 bits, as DES
// keys are written; the DES result is the same either way.
void EmvAdjustParity(std::span<uint8_t> key);

// EmvIsSingleDes tells whether a 16-byte triple DES key has equal halves (it then is single DES).
bool EmvIsSingleDes(std::span<const uint8_t, 16> key);

// EmvKcv gives the key check value: the left 3 bytes of the key's encryption of the zero block (8
// bytes under triple DES, 16 under SM4).
std::array<uint8_t, 3> EmvKcv(EmvCipher cipher, std::span<const uint8_t, 16> key);

// EmvDeriveUdk derives the card key from the issuer master key, the PAN (decimal digits, without
// the trailing F of tag 5A) and the PSN (00 when the card has none). Option B applies only to a
// PAN of more than 16 digits and otherwise falls back to Option A (out.method says which ran).
// MasterKey gives the master key itself, parity adjusted under triple DES, and reads neither PAN
// nor PSN. Returns false, leaving `out` untouched, for Option A or B on a PAN that fails
// EmvPanDigitsValid or for Option B under SM4.
[[nodiscard]] bool EmvDeriveUdk(EmvCipher cipher, EmvUdkMethod method,
                                std::span<const uint8_t, 16> imk, std::string_view pan, uint8_t psn,
                                EmvUdkDerivation& out);

// EmvDeriveSessionKey derives the session key from the card key, the ATC and (Mastercard only)
// the unpredictable number. None gives the card key itself, with no inputs. Returns false for
// Common or Mastercard under SM4.
[[nodiscard]] bool EmvDeriveSessionKey(EmvCipher cipher, EmvSessionMethod method,
                                       std::span<const uint8_t, 16> udk,
                                       std::span<const uint8_t, 2> atc,
                                       std::span<const uint8_t, 4> un, EmvKeyDerivation& out);

// EmvComputeMac computes an application cryptogram: under triple DES the retail MAC (ISO/IEC
// 9797-1 MAC algorithm 3, EMV Book 2 A1.2.1) with KL || KR and padding `padding`; under SM4 the
// PBOC SM4 MAC, whose value is the left 8 bytes of the last CBC block. Zero IV. Returns false for
// padding method 1 under SM4.
[[nodiscard]] bool EmvComputeMac(EmvCipher cipher, EmvPadding padding,
                                 std::span<const uint8_t, 16> key, std::span<const uint8_t> data,
                                 EmvMacComputation& out);

// EmvArpcMethod1 computes ARPC method 1 (EMV Book 2 8.2.1): 3DES(K)[ARQC ^ (ARC || 00 x 6)], or
// under SM4 the left 8 bytes of SM4(K)[(ARQC ^ (ARC || 00 x 6)) || 00 x 8]. Never fails.
void EmvArpcMethod1(EmvCipher cipher, std::span<const uint8_t, 16> key,
                    std::span<const uint8_t, 8> arqc, std::span<const uint8_t, 2> arc,
                    EmvArpcComputation& out);

// EmvArpcMethod2 computes ARPC method 2 (EMV Book 2 8.2.2): the left 4 bytes of the retail MAC,
// padding method 2, of ARQC || CSU || proprietary data. Triple DES only. Returns false when the
// proprietary data has more than 8 bytes.
[[nodiscard]] bool EmvArpcMethod2(std::span<const uint8_t, 16> key,
                                  std::span<const uint8_t, 8> arqc, std::span<const uint8_t, 4> csu,
                                  std::span<const uint8_t> proprietary, EmvArpcComputation& out);
