// ISO 4217 currencies and ISO 3166-1 countries by their numeric codes, as EMV data carries them
// (n3 in two bytes: 0156).
#pragma once

#include <cstdint>
#include <string_view>

struct CurrencyEntry {
    uint16_t number;           // ISO 4217 numeric code
    std::string_view letters;  // ISO 4217 alphabetic code
    int exponent;              // ISO 4217 minor unit: digits after the decimal point
    std::string_view name;     // UTF-8
};

struct CountryEntry {
    uint16_t number;           // ISO 3166-1 numeric code
    std::string_view letters;  // ISO 3166-1 alpha-2 code
    std::string_view name;     // UTF-8
};

// FindCurrency and FindCountry give the entry of a numeric code, or nullptr for a code the tables
// do not hold (they hold the codes card data commonly carries, not all of ISO 4217 or 3166).
const CurrencyEntry* FindCurrency(uint16_t number);
const CountryEntry* FindCountry(uint16_t number);
