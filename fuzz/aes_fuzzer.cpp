// AES (AesCrypt, CAesCipher) differential against OpenSSL: every key length, ECB and CBC, the
// data fed in one or several calls through the chaining value; other key lengths are refused.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "crypto/block/aes.h"
#include "evp_reference.h"

namespace {

const EVP_CIPHER* ReferenceCipher(size_t key_size, bool cbc) {
    switch (key_size) {
        case 16:
            return cbc ? EVP_aes_128_cbc() : EVP_aes_128_ecb();
        case 24:
            return cbc ? EVP_aes_192_cbc() : EVP_aes_192_ecb();
        default:
            return cbc ? EVP_aes_256_cbc() : EVP_aes_256_ecb();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const bool decrypt = in.ConsumeBool();
    const bool cbc = in.ConsumeBool();
    const bool usual_key = in.ConsumeBool();
    const size_t key_size = usual_key ? 16 + 8 * in.ConsumeIntegralInRange<size_t>(0, 2)
                                      : in.ConsumeIntegralInRange<size_t>(0, 40);
    std::vector<uint8_t> key = in.ConsumeBytes<uint8_t>(key_size);
    key.resize(key_size);
    std::array<uint8_t, 16> iv{};
    in.ConsumeData(iv.data(), iv.size());
    const std::vector<uint8_t> text = ConsumeCipherText(in, 16);
    const std::vector<size_t> pieces = Splits(in, text.size(), 16);
    const std::string what = std::string(decrypt ? "decrypt" : "encrypt") +
                             (cbc ? " cbc" : " ecb") + " key=" + HexOf(key) + " iv=" + HexOf(iv) +
                             " data=" + HexOf(text);

    const bool key_ok = key_size == 16 || key_size == 24 || key_size == 32;
    CAesCipher cipher;
    FUZZ_CHECK(cipher.SetKey(key) == key_ok, "SetKey " + what);
    if (!key_ok || text.empty() || text.size() % 16 != 0) {
        std::vector<uint8_t> out(text.size(), 0xA5);
        std::array<uint8_t, 16> chain = iv;
        FUZZ_CHECK(!AesCrypt(decrypt, cbc, text, out, chain, key), "accepted: " + what);
        FUZZ_CHECK(out == std::vector<uint8_t>(text.size(), 0xA5) && chain == iv,
                   "wrote on refusal: " + what);
        return 0;
    }

    const std::vector<uint8_t> expected =
        EvpCipher(ReferenceCipher(key_size, cbc), !decrypt, key, iv, text);
    std::vector<uint8_t> out(text.size());
    std::array<uint8_t, 16> chain = iv;
    size_t at = 0;
    for (const size_t piece : pieces) {
        if (piece == 0) {
            continue;
        }
        FUZZ_CHECK(AesCrypt(decrypt, cbc, std::span<const uint8_t>(text.data() + at, piece),
                            std::span<uint8_t>(out.data() + at, piece), chain, key),
                   "refused: " + what);
        at += piece;
    }
    FUZZ_CHECK(out == expected, what + "\n ours " + HexOf(out) + "\n OpenSSL " + HexOf(expected));
    const std::vector<uint8_t>& ciphertext = decrypt ? text : out;
    std::array<uint8_t, 16> last_block{};
    std::copy(ciphertext.end() - 16, ciphertext.end(), last_block.begin());
    FUZZ_CHECK(chain == (cbc ? last_block : iv), "chain after " + what);

    std::vector<uint8_t> in_place = text;
    std::array<uint8_t, 16> chain2 = iv;
    FUZZ_CHECK(AesCrypt(decrypt, cbc, in_place, in_place, chain2, key), "refused in place");
    FUZZ_CHECK(in_place == expected, "in place: " + what);
    if (!cbc) {
        std::array<uint8_t, 16> block{};
        std::copy_n(text.begin(), 16, block.begin());
        if (decrypt) {
            cipher.DecryptBlock(block, block);
        } else {
            cipher.EncryptBlock(block, block);
        }
        FUZZ_CHECK(std::equal(block.begin(), block.end(), expected.begin()), "block: " + what);
    }
    return 0;
}
