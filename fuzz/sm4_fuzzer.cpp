// SM4 differential against OpenSSL: Sm4Crypt in ECB and CBC with repeat counts 0..3, the
// Sm4CryptEcb / Sm4CryptCbc calls fed in pieces, and the CBC-MAC chain; refusals write nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "crypto/block/sm4.h"
#include "evp_reference.h"

namespace {

using Block = std::array<uint8_t, 16>;

Block LastBlock(const std::vector<uint8_t>& bytes) {
    Block b{};
    std::copy(bytes.end() - 16, bytes.end(), b.begin());
    return b;
}

// Passes of OpenSSL's SM4, each CBC pass starting from the last ciphertext block of the one
// before.
std::vector<uint8_t> Reference(bool encrypt, bool cbc, uint64_t repeat, const Block& key,
                               Block& chain, std::vector<uint8_t> text) {
    for (uint64_t pass = 0; pass < std::max<uint64_t>(repeat, 1); ++pass) {
        std::vector<uint8_t> out =
            EvpCipher(cbc ? EVP_sm4_cbc() : EVP_sm4_ecb(), encrypt, key, chain, text);
        if (cbc) {
            chain = LastBlock(encrypt ? out : text);
        }
        text = std::move(out);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int call = in.ConsumeIntegralInRange(0, 2);
    const bool encrypt = in.ConsumeBool();
    const bool cbc = in.ConsumeBool();
    const uint64_t repeat = in.ConsumeIntegralInRange<uint64_t>(0, 3);
    Block key{}, iv{};
    in.ConsumeData(key.data(), key.size());
    in.ConsumeData(iv.data(), iv.size());
    const std::vector<uint8_t> text = ConsumeCipherText(in, 16);
    const std::vector<size_t> pieces = Splits(in, text.size(), 16);
    const std::string what = std::to_string(call) + (encrypt ? " encrypt" : " decrypt") +
                             (cbc ? " cbc" : " ecb") + " repeat=" + std::to_string(repeat) +
                             " key=" + HexOf(key) + " iv=" + HexOf(iv) + " data=" + HexOf(text);
    const bool refused = text.empty() || text.size() % 16 != 0;

    if (call == 0) {
        std::vector<uint8_t> work = text;
        Block chain = iv;
        const bool ok = Sm4Crypt(key, encrypt, cbc, repeat, work, chain);
        FUZZ_CHECK(ok == !refused, "result of " + what);
        if (refused) {
            FUZZ_CHECK(work == text && chain == iv, "wrote on refusal: " + what);
            return 0;
        }
        Block ref_chain = iv;
        const std::vector<uint8_t> expected = Reference(encrypt, cbc, repeat, key, ref_chain, text);
        FUZZ_CHECK(work == expected,
                   what + "\n ours " + HexOf(work) + "\n OpenSSL " + HexOf(expected));
        FUZZ_CHECK(chain == ref_chain, "chain after " + what);
    } else if (call == 1) {
        Sm4Context context;
        // CBC decryption pairs the decryption schedule with encrypt = false, as ECB does.
        if (encrypt) {
            Sm4SetEncryptKey(context, key);
        } else {
            Sm4SetDecryptKey(context, key);
        }
        std::vector<uint8_t> out(text.size(), 0xA5);
        Block chain = iv;
        if (refused) {
            const bool ok = cbc ? Sm4CryptCbc(context, encrypt, chain, text, out)
                                : Sm4CryptEcb(context, text, out);
            FUZZ_CHECK(!ok && chain == iv && out == std::vector<uint8_t>(text.size(), 0xA5),
                       "refusal of " + what);
            return 0;
        }
        size_t at = 0;
        for (const size_t piece : pieces) {
            if (piece == 0) {
                continue;
            }
            const std::span<const uint8_t> input(text.data() + at, piece);
            const std::span<uint8_t> output(out.data() + at, piece);
            FUZZ_CHECK(cbc ? Sm4CryptCbc(context, encrypt, chain, input, output)
                           : Sm4CryptEcb(context, input, output),
                       "refused: " + what);
            at += piece;
        }
        Block ref_chain = iv;
        const std::vector<uint8_t> expected = Reference(encrypt, cbc, 1, key, ref_chain, text);
        FUZZ_CHECK(out == expected,
                   what + "\n ours " + HexOf(out) + "\n OpenSSL " + HexOf(expected));
        FUZZ_CHECK(chain == ref_chain, "chain after " + what);
    } else {
        Block chain = iv;
        const bool ok = Sm4CbcMac(key, chain, text);
        FUZZ_CHECK(ok == !refused, "result of MAC " + what);
        if (refused) {
            FUZZ_CHECK(chain == iv, "MAC chain changed on refusal: " + what);
            return 0;
        }
        const std::vector<uint8_t> ciphertext = EvpCipher(EVP_sm4_cbc(), true, key, iv, text);
        FUZZ_CHECK(chain == LastBlock(ciphertext), "MAC " + what);
    }
    return 0;
}
