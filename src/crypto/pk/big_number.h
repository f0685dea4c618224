// CBigNumber: non-negative integers of up to 3200 bits in a fixed block of 32-bit words.
//
// A value never allocates: it is 100 words and a count, copied whole. Operations take their
// operands by reference, leave them unchanged and return a new value. There is no sign and no
// error reporting; callers test divisors and operand sizes first. Results beyond 3200 bits are
// outside the contract, but never write outside the value: they are cut to the low 3200 bits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/progress.h"

inline constexpr uint32_t BIGNUMBER_MAX_WORDS = 100;

class CBigNumber {
public:
    // A new value is zero: count 1, every word 0.
    CBigNumber();

    // Compare gives 1 if this is greater than other, 0 if equal, -1 if smaller.
    int Compare(const CBigNumber& other) const;
    void Assign(const CBigNumber& other);
    // SetValue makes this v (count 2 when the high 32 bits are non-zero, else 1).
    void SetValue(uint64_t v);

    CBigNumber Add(const CBigNumber& b) const;
    CBigNumber AddWord(uint32_t w) const;
    // Sub gives this - b when this is greater than b, otherwise 0.
    CBigNumber Sub(const CBigNumber& b) const;
    CBigNumber Mul(const CBigNumber& b) const;
    CBigNumber MulWord(uint32_t w) const;
    // Div, DivWord, Mod and ModWord expect a non-zero divisor; a zero divisor gives 0.
    CBigNumber Div(const CBigNumber& b) const;
    CBigNumber DivWord(uint32_t w) const;
    CBigNumber Mod(const CBigNumber& b) const;
    uint32_t ModWord(uint32_t w) const;

    // FromText makes this the value of the text in `base` (2..16): every character is a digit,
    // '0'..'9' 0..9, 'A'..'F' and 'a'..'f' 10..15, anything else (a blank too) 0.
    void FromText(std::string_view text, uint32_t base);
    // ToText writes the value in `base` (2..16), upper case, without leading zeros ("0" for
    // zero); another base gives an empty text.
    std::string ToText(uint32_t base) const;

    // ModInverse gives x in [0, m) with this * x = 1 (mod m) when this and m are coprime; for
    // other inputs this * x = gcd (mod m); for this = 0 it gives 0.
    CBigNumber ModInverse(const CBigNumber& m) const;
    // ModPow gives this^e mod m; for e = 0 or e = 1 it gives this itself, not reduced; for
    // e >= 2 and m = 0 it gives 0.
    CBigNumber ModPow(const CBigNumber& e, const CBigNumber& m) const;
    // GenerateProbablePrime makes this a random probable prime of exactly 32 * words bits (its
    // top two bits set, so a product of two has exactly 64 * words bits), drawn from RandomBytes;
    // words is taken as 1 to 100. It polls `progress` between candidates and gives false,
    // leaving the number as it was, once the search was cancelled or the generator failed.
    bool GenerateProbablePrime(uint32_t words, CProgress* progress = nullptr);

    bool IsZero() const { return m_count == 1 && m_words[0] == 0; }
    uint32_t WordCount() const { return m_count; }
    uint32_t Word(uint32_t i) const { return i < BIGNUMBER_MAX_WORDS ? m_words[i] : 0; }
    uint32_t BitLength() const;

private:
    // SetWords makes this the low `count` words of `words` (count at most 100), normalised.
    void SetWords(const uint32_t* words, uint32_t count);
    // DivMod gives floor(this / b) and this mod b into whichever of q and r is not null.
    void DivMod(const CBigNumber& b, CBigNumber* q, CBigNumber* r) const;

    uint32_t m_count;
    uint32_t m_words[BIGNUMBER_MAX_WORDS];
};
