// OpenSSL's EVP digests as the independent answer for the digest engines and the checksum page.
#pragma once

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstdint>
#include <span>
#include <vector>

// EvpDigest gives the digest of `data` with `md`; a failure inside OpenSSL fails the test.
inline std::vector<uint8_t> EvpDigest(const EVP_MD* md, std::span<const uint8_t> data) {
    std::vector<uint8_t> digest(EVP_MAX_MD_SIZE);
    unsigned int size = 0;
    EXPECT_EQ(EVP_Digest(data.data(), data.size(), digest.data(), &size, md, nullptr), 1);
    digest.resize(size);
    return digest;
}
