#include "pages/rsa_key_generation.h"

#include <array>
#include <chrono>

#include "pages/number_text.h"

namespace {

constexpr uint32_t kPublicExponent = 65537;

struct KeySize {
    const char* name;
    const char* caption;
    uint32_t prime_words;
};

constexpr std::array<KeySize, 6> kKeySizes = {{{"128", "128 bit", 2},
                                               {"256", "256 bit", 4},
                                               {"512", "512 bit", 8},
                                               {"1024", "1024 bit", 16},
                                               {"1152", "1152 bit", 18},
                                               {"1280", "1280 bit", 20}}};

}  // namespace

std::vector<Choice> RsaKeySizeChoices() {
    std::vector<Choice> choices;
    for (const KeySize& size : kKeySizes) {
        choices.push_back({.name = size.name, .caption = size.caption});
    }
    return choices;
}

uint32_t RsaPrimeWords(int size_index) {
    if (size_index < 0 || size_index >= static_cast<int>(kKeySizes.size())) {
        size_index = kDefaultRsaKeySize;
    }
    return kKeySizes[static_cast<size_t>(size_index)].prime_words;
}

bool IsUsableRsaPrime(const CBigNumber& prime) {
    // 65537 is prime, so gcd(65537, prime - 1) is 1 unless prime = 1 (mod 65537).
    return prime.ModWord(kPublicExponent) != 1;
}

std::optional<RsaKey> GenerateRsaKey(uint32_t prime_words, CProgress* progress) {
    const auto start = std::chrono::steady_clock::now();
    RsaKey key;
    do {
        if (!key.p.GenerateProbablePrime(prime_words, progress)) {
            return std::nullopt;
        }
    } while (!IsUsableRsaPrime(key.p));
    do {
        if (!key.q.GenerateProbablePrime(prime_words, progress)) {
            return std::nullopt;
        }
    } while (key.q.Compare(key.p) == 0 || !IsUsableRsaPrime(key.q));

    CBigNumber one;
    one.SetValue(1);
    const CBigNumber p1 = key.p.Sub(one);
    const CBigNumber q1 = key.q.Sub(one);
    key.n = key.p.Mul(key.q);
    key.e.SetValue(kPublicExponent);
    key.d = key.e.ModInverse(p1.Mul(q1));
    key.dp = key.e.ModInverse(p1);
    key.dq = key.e.ModInverse(q1);
    key.qinv = key.q.ModInverse(key.p);
    key.elapsed_seconds = static_cast<int>(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
            .count());
    return key;
}

std::string FormatElapsedSeconds(int seconds) {
    return std::to_string(seconds) + " s";
}

ActionResult NoKeyBox(const CProgress* progress) {
    if (progress != nullptr && progress->Cancelled()) {
        return std::nullopt;
    }
    return NoticeBox("系统随机数发生器失败，未能生成密钥");
}
