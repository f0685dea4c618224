#include "crypto/hash/lrc.h"

uint8_t Lrc(std::span<const uint8_t> data) {
    uint8_t lrc = 0;
    for (const uint8_t byte : data) {
        lrc ^= byte;
    }
    return lrc;
}
