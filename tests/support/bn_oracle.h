// OpenSSL BN as an independent oracle for the big-number page tests.
#pragma once

#include <gtest/gtest.h>
#include <openssl/bn.h>

#include <memory>
#include <string>

struct BnFree {
    void operator()(BIGNUM* bn) const { BN_free(bn); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;

// BnFromHex reads hex text; the empty text is zero, and text that is not hex fails the test.
inline Bn BnFromHex(const std::string& hex) {
    BIGNUM* bn = nullptr;
    if (hex.empty()) {
        return Bn(BN_new());
    }
    if (BN_hex2bn(&bn, hex.c_str()) != static_cast<int>(hex.size())) {
        ADD_FAILURE() << "not hex: " << hex.substr(0, 40);
        BN_free(bn);
        return Bn(BN_new());
    }
    return Bn(bn);
}

inline Bn BnFromWord(unsigned long w) {
    Bn bn(BN_new());
    BN_set_word(bn.get(), w);
    return bn;
}

// BnToHex gives upper-case hex without leading zeros, "0" for zero.
inline std::string BnToHex(const BIGNUM* bn) {
    if (BN_is_zero(bn)) {
        return "0";
    }
    char* text = BN_bn2hex(bn);
    std::string hex(text);
    OPENSSL_free(text);
    return hex.substr(hex.find_first_not_of('0'));
}

class BnOracle {
public:
    BnOracle() : m_ctx(BN_CTX_new()) {}
    ~BnOracle() { BN_CTX_free(m_ctx); }
    BnOracle(const BnOracle&) = delete;
    BnOracle& operator=(const BnOracle&) = delete;

    Bn Add(const BIGNUM* a, const BIGNUM* b) {
        Bn r(BN_new());
        BN_add(r.get(), a, b);
        return r;
    }
    // ModSub gives (a - b) mod m as a non-negative residue.
    Bn ModSub(const BIGNUM* a, const BIGNUM* b, const BIGNUM* m) {
        Bn r(BN_new());
        BN_mod_sub(r.get(), a, b, m, m_ctx);
        return r;
    }
    BN_CTX* Ctx() { return m_ctx; }
    Bn Mul(const BIGNUM* a, const BIGNUM* b) {
        Bn r(BN_new());
        BN_mul(r.get(), a, b, m_ctx);
        return r;
    }
    Bn ModMul(const BIGNUM* a, const BIGNUM* b, const BIGNUM* m) {
        Bn r(BN_new());
        BN_mod_mul(r.get(), a, b, m, m_ctx);
        return r;
    }
    Bn ModExp(const BIGNUM* a, const BIGNUM* e, const BIGNUM* m) {
        Bn r(BN_new());
        BN_mod_exp(r.get(), a, e, m, m_ctx);
        return r;
    }
    Bn ModInverse(const BIGNUM* a, const BIGNUM* m) {
        Bn r(BN_new());
        BN_mod_inverse(r.get(), a, m, m_ctx);
        return r;
    }
    Bn MinusOne(const BIGNUM* a) {
        Bn r(BN_dup(a));
        BN_sub_word(r.get(), 1);
        return r;
    }
    bool IsPrime(const BIGNUM* a) { return BN_check_prime(a, m_ctx, nullptr) == 1; }

private:
    BN_CTX* m_ctx;
};
