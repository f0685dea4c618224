// DES and triple DES (DesCrypt, DesEncryptBlock, DesDecryptBlock) differential against OpenSSL's
// DES-EDE and DES-EDE3: any key length, ECB and CBC, the data fed in one or several calls through
// the chaining value. Single DES is checked as three-key EDE with K1 = K2 = K3 (OpenSSL keeps
// plain DES in its legacy provider).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "crypto/block/des.h"
#include "evp_reference.h"

namespace {

std::vector<uint8_t> Reference(bool decrypt, bool cbc, const std::vector<uint8_t>& key,
                               const std::array<uint8_t, 8>& iv, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> ede_key;
    const EVP_CIPHER* cipher = nullptr;
    if (key.size() < 16) {
        for (int i = 0; i < 3; ++i) {
            ede_key.insert(ede_key.end(), key.begin(), key.begin() + 8);
        }
        cipher = cbc ? EVP_des_ede3_cbc() : EVP_des_ede3_ecb();
    } else if (key.size() < 24) {
        ede_key.assign(key.begin(), key.begin() + 16);
        cipher = cbc ? EVP_des_ede_cbc() : EVP_des_ede_ecb();
    } else {
        ede_key.assign(key.begin(), key.begin() + 24);
        cipher = cbc ? EVP_des_ede3_cbc() : EVP_des_ede3_ecb();
    }
    return EvpCipher(cipher, !decrypt, ede_key, iv, data);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const bool decrypt = in.ConsumeBool();
    const bool cbc = in.ConsumeBool();
    const auto key = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 40));
    std::array<uint8_t, 8> iv{};
    in.ConsumeData(iv.data(), iv.size());
    const std::vector<uint8_t> text = ConsumeCipherText(in, 8);
    const std::vector<size_t> pieces = Splits(in, text.size(), 8);
    const std::string what = std::string(decrypt ? "decrypt" : "encrypt") +
                             (cbc ? " cbc" : " ecb") + " key=" + HexOf(key) + " iv=" + HexOf(iv) +
                             " data=" + HexOf(text);

    if (key.size() < 8 || text.empty() || text.size() % 8 != 0) {
        std::vector<uint8_t> out(text.size(), 0xA5);
        std::array<uint8_t, 8> chain = iv;
        FUZZ_CHECK(!DesCrypt(decrypt, cbc, text, out, chain, key), "accepted: " + what);
        FUZZ_CHECK(out == std::vector<uint8_t>(text.size(), 0xA5) && chain == iv,
                   "wrote on refusal: " + what);
        return 0;
    }

    const std::vector<uint8_t> expected = Reference(decrypt, cbc, key, iv, text);
    std::vector<uint8_t> out(text.size());
    std::array<uint8_t, 8> chain = iv;
    size_t at = 0;
    for (const size_t piece : pieces) {
        if (piece == 0) {
            continue;
        }
        const std::span<const uint8_t> input(text.data() + at, piece);
        FUZZ_CHECK(
            DesCrypt(decrypt, cbc, input, std::span<uint8_t>(out.data() + at, piece), chain, key),
            "refused: " + what);
        at += piece;
    }
    FUZZ_CHECK(out == expected, what + "\n ours " + HexOf(out) + "\n OpenSSL " + HexOf(expected));
    // CBC hands on the last ciphertext block; ECB leaves the chain alone.
    const std::vector<uint8_t>& ciphertext = decrypt ? text : out;
    const std::array<uint8_t, 8> last_block = [&] {
        std::array<uint8_t, 8> b{};
        std::copy(ciphertext.end() - 8, ciphertext.end(), b.begin());
        return b;
    }();
    FUZZ_CHECK(chain == (cbc ? last_block : iv), "chain after " + what);

    // In place gives the same, and the single-block calls agree with single DES.
    std::vector<uint8_t> in_place = text;
    std::array<uint8_t, 8> chain2 = iv;
    FUZZ_CHECK(DesCrypt(decrypt, cbc, in_place, in_place, chain2, key), "refused in place");
    FUZZ_CHECK(in_place == expected, "in place: " + what);
    if (key.size() < 16 && !cbc) {
        const std::span<const uint8_t, 8> k(key.data(), 8);
        std::array<uint8_t, 8> block{};
        const std::span<const uint8_t, 8> first(text.data(), 8);
        if (decrypt) {
            DesDecryptBlock(k, first, block);
        } else {
            DesEncryptBlock(k, first, block);
        }
        FUZZ_CHECK(std::equal(block.begin(), block.end(), expected.begin()), "block: " + what);
    }
    return 0;
}
