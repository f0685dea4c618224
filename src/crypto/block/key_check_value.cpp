#include "crypto/block/key_check_value.h"

#include <algorithm>

#include "crypto/block/aes.h"
#include "crypto/block/des.h"
#include "crypto/block/sm4.h"

namespace {

bool TakesKeyOf(KcvCipher cipher, size_t bytes) {
    switch (cipher) {
        case KcvCipher::Des:
            return bytes == 8 || bytes == 16 || bytes == 24;
        case KcvCipher::Aes:
            return bytes == 16 || bytes == 24 || bytes == 32;
        case KcvCipher::Sm4:
            return bytes == 16;
    }
    return false;
}

}  // namespace

std::optional<std::array<uint8_t, 3>> KeyCheckValue(KcvCipher cipher,
                                                    std::span<const uint8_t> key) {
    if (!TakesKeyOf(cipher, key.size())) {
        return std::nullopt;
    }
    std::array<uint8_t, 16> block{};
    std::array<uint8_t, 16> chain{};
    bool done = false;
    switch (cipher) {
        case KcvCipher::Des:
            done = DesCrypt(false, false, std::span(block).first<8>(), std::span(block).first<8>(),
                            std::span(chain).first<8>(), key);
            break;
        case KcvCipher::Aes:
            done = AesCrypt(false, false, block, block, chain, key);
            break;
        case KcvCipher::Sm4: {
            Sm4Context context;
            Sm4SetEncryptKey(context, key.first<16>());
            done = Sm4CryptEcb(context, block, block);
            break;
        }
    }
    if (!done) {
        return std::nullopt;
    }
    std::array<uint8_t, 3> kcv{};
    std::copy_n(block.begin(), kcv.size(), kcv.begin());
    return kcv;
}
