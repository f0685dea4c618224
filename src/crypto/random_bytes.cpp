#include "crypto/random_bytes.h"

#include <openssl/rand.h>

#include <algorithm>
#include <climits>

bool RandomBytes(std::span<uint8_t> out) {
    // RAND_bytes takes an int count: a larger request is drawn in pieces.
    for (std::span<uint8_t> rest = out; !rest.empty();) {
        const size_t piece = std::min<size_t>(rest.size(), INT_MAX);
        if (RAND_bytes(rest.data(), static_cast<int>(piece)) != 1) {
            std::fill(out.begin(), out.end(), uint8_t{0});
            return false;
        }
        rest = rest.subspan(piece);
    }
    return true;
}
