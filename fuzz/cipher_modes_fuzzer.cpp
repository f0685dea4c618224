// The block-cipher workbench engines differential against OpenSSL: DES/TDES, AES and SM4 in ECB,
// CBC, CFB, OFB and CTR, GCM with any IV and tag length, CMAC, and the padding round trip.
// OpenSSL keeps single DES in its legacy provider, so DES runs as DES-EDE with K1 = K2; it has no
// DES CTR (that answer encrypts the counter blocks with DES-EDE3 ECB) and, in 3.0, no SM4-GCM
// (checked for its keystream, SM4-CTR from IV || 00000002, and its own round trip).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "crypto/block/block_padding.h"
#include "crypto/block/cipher_modes.h"
#include "crypto/block/cmac.h"
#include "crypto/block/gcm.h"
#include "evp_reference.h"
#include "support/evp_gcm_cmac.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr size_t kKeyBytes[3][3] = {{8, 16, 24}, {16, 24, 32}, {16, 16, 16}};

const EVP_CIPHER* ModeCipher(BlockAlgorithm algorithm, size_t key_bytes, CipherMode mode) {
    const size_t aes = key_bytes / 8 - 2;
    switch (algorithm) {
        case BlockAlgorithm::kDes: {
            const bool three = key_bytes == 24;
            const EVP_CIPHER* des[] = {three ? EVP_des_ede3() : EVP_des_ede(),
                                       three ? EVP_des_ede3_cbc() : EVP_des_ede_cbc(),
                                       three ? EVP_des_ede3_cfb64() : EVP_des_ede_cfb64(),
                                       three ? EVP_des_ede3_ofb() : EVP_des_ede_ofb(),
                                       three ? EVP_des_ede3() : EVP_des_ede()};
            return des[static_cast<size_t>(mode)];
        }
        case BlockAlgorithm::kAes: {
            const EVP_CIPHER* table[3][5] = {
                {EVP_aes_128_ecb(), EVP_aes_128_cbc(), EVP_aes_128_cfb128(), EVP_aes_128_ofb(),
                 EVP_aes_128_ctr()},
                {EVP_aes_192_ecb(), EVP_aes_192_cbc(), EVP_aes_192_cfb128(), EVP_aes_192_ofb(),
                 EVP_aes_192_ctr()},
                {EVP_aes_256_ecb(), EVP_aes_256_cbc(), EVP_aes_256_cfb128(), EVP_aes_256_ofb(),
                 EVP_aes_256_ctr()}};
            return table[aes][static_cast<size_t>(mode)];
        }
        case BlockAlgorithm::kSm4:
            break;
    }
    const EVP_CIPHER* sm4[] = {EVP_sm4_ecb(), EVP_sm4_cbc(), EVP_sm4_cfb128(), EVP_sm4_ofb(),
                               EVP_sm4_ctr()};
    return sm4[static_cast<size_t>(mode)];
}

// The OpenSSL answer for one of ECB..CTR; DES CTR by ECB over counter blocks built here.
Bytes ExpectedMode(BlockAlgorithm algorithm, const Bytes& key, CipherMode mode, bool decrypt,
                   const Bytes& iv, const Bytes& text) {
    Bytes oracle_key = key;
    if (key.size() == 8) {
        oracle_key.insert(oracle_key.end(), key.begin(), key.end());
    }
    const EVP_CIPHER* cipher = ModeCipher(algorithm, oracle_key.size(), mode);
    if (algorithm != BlockAlgorithm::kDes || mode != CipherMode::kCtr) {
        return EvpCipher(cipher, !decrypt, oracle_key, iv, text);
    }
    Bytes counters, counter = iv;
    for (size_t i = 0; i < (text.size() + 7) / 8; ++i) {
        counters.insert(counters.end(), counter.begin(), counter.end());
        for (size_t k = 8; k-- > 0 && ++counter[k] == 0;) {
        }
    }
    Bytes out = EvpCipher(cipher, true, oracle_key, {}, counters);
    out.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        out[i] ^= text[i];
    }
    return out;
}

const char* CmacCipherName(BlockAlgorithm algorithm, size_t key_bytes) {
    switch (algorithm) {
        case BlockAlgorithm::kDes:
            return key_bytes == 24 ? "DES-EDE3-CBC" : "DES-EDE-CBC";
        case BlockAlgorithm::kAes:
            return key_bytes == 16 ? "AES-128-CBC"
                                   : (key_bytes == 24 ? "AES-192-CBC" : "AES-256-CBC");
        case BlockAlgorithm::kSm4:
            break;
    }
    return "SM4-CBC";
}

void CheckGcm(CBlockCipher& cipher, FuzzedDataProvider& in, const Bytes& key, const Bytes& text,
              const std::string& what) {
    Bytes iv = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 64));
    const Bytes aad = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 64));
    const size_t tag_bytes = in.ConsumeIntegralInRange<size_t>(2, 18);
    const bool sm4 = cipher.Algorithm() == BlockAlgorithm::kSm4;
    if (sm4 && !iv.empty()) {
        iv.resize(12);
    }
    const std::string where =
        what + " gcm iv=" + HexOf(iv) + " aad=" + HexOf(aad) + " tag=" + std::to_string(tag_bytes);
    Bytes out(text.size(), 0xA5), tag(tag_bytes, 0xA5);
    const bool takes = cipher.BlockSize() == 16 && !iv.empty() && tag_bytes >= 4 && tag_bytes <= 16;
    FUZZ_CHECK(GcmEncrypt(cipher, out, tag, iv, aad, text) == takes, "GcmEncrypt " + where);
    if (!takes) {
        FUZZ_CHECK(out == Bytes(text.size(), 0xA5) && tag == Bytes(tag_bytes, 0xA5),
                   "wrote on refusal: " + where);
        return;
    }
    if (sm4) {
        Bytes counter = iv;
        counter.insert(counter.end(), {0x00, 0x00, 0x00, 0x02});
        FUZZ_CHECK(out == EvpCipher(EVP_sm4_ctr(), true, key, counter, text), "keystream " + where);
    } else {
        const EVP_CIPHER* gcm[] = {EVP_aes_128_gcm(), EVP_aes_192_gcm(), EVP_aes_256_gcm()};
        const std::optional<EvpGcmResult> expected =
            EvpGcmEncrypt(gcm[key.size() / 8 - 2], key, iv, aad, text, tag_bytes);
        FUZZ_CHECK(expected.has_value(), "OpenSSL GCM failed");
        FUZZ_CHECK(out == expected->ciphertext && tag == expected->tag,
                   where + "\n ours " + HexOf(out) + " " + HexOf(tag) + "\n OpenSSL " +
                       HexOf(expected->ciphertext) + " " + HexOf(expected->tag));
    }
    Bytes back(text.size(), 0xA5);
    FUZZ_CHECK(GcmDecrypt(cipher, back, iv, aad, out, tag) && back == text, "back " + where);
    tag[in.ConsumeIntegralInRange<size_t>(0, tag.size() - 1)] ^=
        static_cast<uint8_t>(1u << in.ConsumeIntegralInRange<int>(0, 7));
    Bytes none(text.size(), 0xA5);
    FUZZ_CHECK(!GcmDecrypt(cipher, none, iv, aad, out, tag) && none == Bytes(text.size(), 0xA5),
               "changed tag accepted: " + where);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const size_t algorithm_index = in.ConsumeIntegralInRange<size_t>(0, 2);
    const auto algorithm = static_cast<BlockAlgorithm>(algorithm_index);
    const size_t key_bytes = kKeyBytes[algorithm_index][in.ConsumeIntegralInRange<size_t>(0, 2)];
    const int operation = in.ConsumeIntegralInRange<int>(0, 7);  // 0-4 modes, 5 GCM, 6 CMAC, 7 pad
    const bool decrypt = in.ConsumeBool();
    Bytes key = in.ConsumeBytes<uint8_t>(key_bytes);
    key.resize(key_bytes);
    CBlockCipher cipher;
    FUZZ_CHECK(cipher.SetKey(algorithm, key), "SetKey key=" + HexOf(key));
    const size_t b = cipher.BlockSize();
    Bytes iv = in.ConsumeBytes<uint8_t>(b);
    iv.resize(b);
    const Bytes text = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 600));
    const std::string what = "alg=" + std::to_string(algorithm_index) + " key=" + HexOf(key) +
                             " op=" + std::to_string(operation) + (decrypt ? " dec" : " enc") +
                             " text=" + HexOf(text);

    if (operation == 5) {
        CheckGcm(cipher, in, key, text, what);
    } else if (operation == 6) {
        Bytes mac(b);
        FUZZ_CHECK(Cmac(cipher, mac, text), "Cmac " + what);
        Bytes oracle_key = key;
        if (key.size() == 8) {
            oracle_key.insert(oracle_key.end(), key.begin(), key.end());
        }
        const std::optional<Bytes> expected =
            EvpCmac(CmacCipherName(algorithm, key_bytes), oracle_key, text);
        FUZZ_CHECK(expected == mac, "cmac " + what + "\n ours " + HexOf(mac));
    } else if (operation == 7) {
        const auto padding = static_cast<BlockPadding>(in.ConsumeIntegralInRange<int>(0, 3));
        Bytes padded;
        const bool padded_ok = PadToBlocks(padded, text, padding, b);
        FUZZ_CHECK(padded_ok == (padding != BlockPadding::kNone || text.size() % b == 0),
                   "PadToBlocks " + what);
        if (padded_ok) {
            size_t kept = 0;
            FUZZ_CHECK(padded.size() % b == 0 && StripPadding(kept, padded, padding, b),
                       "StripPadding " + what);
            const bool removes =
                padding == BlockPadding::kIso9797Method2 || padding == BlockPadding::kPkcs7;
            FUZZ_CHECK(kept == (removes ? text.size() : padded.size()) &&
                           std::equal(text.begin(), text.end(), padded.begin()),
                       "padding round trip " + what);
        }
    } else {
        const auto mode = static_cast<CipherMode>(operation);
        Bytes out(text.size(), 0xA5);
        const bool takes = IsStreamMode(mode) || text.size() % b == 0;
        FUZZ_CHECK(CipherModeCrypt(cipher, mode, decrypt, out, iv, text) == takes,
                   "CipherModeCrypt " + what);
        if (!takes) {
            FUZZ_CHECK(out == Bytes(text.size(), 0xA5), "wrote on refusal: " + what);
            return 0;
        }
        const Bytes expected = ExpectedMode(algorithm, key, mode, decrypt, iv, text);
        FUZZ_CHECK(out == expected, what + " iv=" + HexOf(iv) + "\n ours " + HexOf(out) +
                                        "\n OpenSSL " + HexOf(expected));
        Bytes in_place = text;
        FUZZ_CHECK(
            CipherModeCrypt(cipher, mode, decrypt, in_place, iv, in_place) && in_place == expected,
            "in place: " + what);
    }
    return 0;
}
