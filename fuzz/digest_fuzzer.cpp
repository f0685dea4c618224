// SHA-1, SHA-256, SHA-384, SHA-512, MD5, SM3 and HMAC-SM3 differential against OpenSSL: any
// message, fed through any split into update calls, and the one-shot functions.
#include <fuzzer/FuzzedDataProvider.h>
#include <openssl/hmac.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "crypto/hash/md5.h"
#include "crypto/hash/sha1.h"
#include "crypto/hash/sha256.h"
#include "crypto/hash/sha512.h"
#include "crypto/hash/sm3.h"
#include "evp_reference.h"

namespace {

template <typename Digest>
std::vector<uint8_t> ToVector(const Digest& d) {
    return {d.begin(), d.end()};
}

// Streamed feeds the pieces to update() and gives final()'s digest.
template <typename Update>
void Feed(std::span<const uint8_t> message, const std::vector<size_t>& pieces, Update update) {
    size_t at = 0;
    for (const size_t piece : pieces) {
        update(message.subspan(at, piece));
        at += piece;
    }
}

std::vector<uint8_t> Sha1Streamed(std::span<const uint8_t> message,
                                  const std::vector<size_t>& pieces) {
    Sha1Context context;
    FUZZ_CHECK(Sha1Init(&context) == kSha1Success, "Sha1Init");
    Feed(message, pieces, [&](std::span<const uint8_t> piece) {
        FUZZ_CHECK(Sha1Update(&context, piece) == kSha1Success, "Sha1Update");
    });
    Sha1Digest digest{};
    FUZZ_CHECK(Sha1Final(&context, digest) == kSha1Success, "Sha1Final");
    // Final again gives the same digest; more data after it is an error that sticks.
    Sha1Digest again{};
    FUZZ_CHECK(Sha1Final(&context, again) == kSha1Success && again == digest, "Sha1Final twice");
    const uint8_t byte = 0;
    FUZZ_CHECK(Sha1Update(&context, std::span<const uint8_t>(&byte, 1)) == kSha1StateError,
               "Sha1Update after Sha1Final");
    FUZZ_CHECK(Sha1Final(&context, again) == kSha1StateError, "Sha1Final after the error");
    return ToVector(digest);
}

template <typename Context, size_t N, typename Init, typename Update, typename Final>
std::vector<uint8_t> Streamed(std::span<const uint8_t> message, const std::vector<size_t>& pieces,
                              Init init, Update update, Final final) {
    Context context;
    init(context);
    Feed(message, pieces, [&](std::span<const uint8_t> piece) { update(context, piece); });
    std::array<uint8_t, N> digest{};
    final(context, digest);
    return ToVector(digest);
}

std::vector<uint8_t> ReferenceHmacSm3(std::span<const uint8_t> key,
                                      std::span<const uint8_t> message) {
    std::vector<uint8_t> mac(EVP_MAX_MD_SIZE);
    unsigned int size = 0;
    const uint8_t empty = 0;
    FUZZ_CHECK(HMAC(EVP_sm3(), key.empty() ? &empty : key.data(), static_cast<int>(key.size()),
                    message.data(), message.size(), mac.data(), &size) != nullptr,
               "OpenSSL HMAC failed");
    mac.resize(size);
    return mac;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int algorithm = in.ConsumeIntegralInRange(0, 6);
    const auto key = algorithm == 6
                         ? in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 200))
                         : std::vector<uint8_t>();
    const size_t message_size = in.ConsumeIntegralInRange<size_t>(0, 4096);
    std::vector<size_t> pieces;
    std::vector<uint8_t> message;
    {
        // The split comes before the message, so that the message may take all the rest.
        const int cuts = in.ConsumeIntegralInRange(0, 8);
        std::vector<size_t> wanted;
        for (int i = 0; i < cuts; ++i) {
            wanted.push_back(in.ConsumeIntegralInRange<size_t>(0, 300));
        }
        message = in.ConsumeBytes<uint8_t>(message_size);
        size_t left = message.size();
        for (const size_t piece : wanted) {
            pieces.push_back(std::min(piece, left));
            left -= pieces.back();
        }
        pieces.push_back(left);
    }
    const std::span<const uint8_t> m(message);
    const std::string what =
        "algorithm " + std::to_string(algorithm) + " message " + HexOf(message);

    std::vector<uint8_t> ours, one_shot, expected;
    switch (algorithm) {
        case 0:
            ours = Sha1Streamed(m, pieces);
            one_shot = ToVector(Sha1Hash(m));
            expected = EvpDigest(EVP_sha1(), m);
            break;
        case 1:
            ours = Streamed<Sha256Context, 32>(
                m, pieces, [](auto& c) { Sha256Init(c); },
                [](auto& c, auto p) { Sha256Update(c, p); },
                [](auto& c, auto& d) { Sha256Final(c, d); });
            one_shot = ToVector(Sha256Hash(m));
            expected = EvpDigest(EVP_sha256(), m);
            break;
        case 2:
            ours = Streamed<Sha512Context, 48>(
                m, pieces, [](auto& c) { Sha384Init(c); },
                [](auto& c, auto p) { Sha384Update(c, p); },
                [](auto& c, auto& d) { Sha384Final(c, d); });
            one_shot = ToVector(Sha384Hash(m));
            expected = EvpDigest(EVP_sha384(), m);
            break;
        case 3:
            ours = Streamed<Sha512Context, 64>(
                m, pieces, [](auto& c) { Sha512Init(c); },
                [](auto& c, auto p) { Sha512Update(c, p); },
                [](auto& c, auto& d) { Sha512Final(c, d); });
            one_shot = ToVector(Sha512Hash(m));
            expected = EvpDigest(EVP_sha512(), m);
            break;
        case 4:
            ours = Streamed<Md5Context, 16>(
                m, pieces, [](auto& c) { Md5Init(c); }, [](auto& c, auto p) { Md5Update(c, p); },
                [](auto& c, auto& d) { Md5Final(c, d); });
            one_shot = ToVector(Md5Hash(m));
            expected = EvpDigest(EVP_md5(), m);
            break;
        case 5:
            ours = Streamed<Sm3Context, 32>(
                m, pieces, [](auto& c) { Sm3Init(c); }, [](auto& c, auto p) { Sm3Update(c, p); },
                [](auto& c, auto& d) { Sm3Final(c, d); });
            one_shot = ToVector(Sm3Hash(m));
            expected = EvpDigest(EVP_sm3(), m);
            break;
        case 6:
            ours = Streamed<Sm3Context, 32>(
                m, pieces, [&](auto& c) { Sm3HmacInit(c, key); },
                [](auto& c, auto p) { Sm3HmacUpdate(c, p); },
                [](auto& c, auto& d) { Sm3HmacFinal(c, d); });
            one_shot = ToVector(Sm3Hmac(key, m));
            expected = ReferenceHmacSm3(key, m);
            break;
    }
    FUZZ_CHECK(ours == expected,
               what + "\n streamed " + HexOf(ours) + "\n OpenSSL " + HexOf(expected));
    FUZZ_CHECK(one_shot == expected, what + "\n one-shot " + HexOf(one_shot));
    return 0;
}
