#include "crypto/block/cipher_modes.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "crypto/byte_order.h"

namespace {

using byte_order::LoadBe64;
using byte_order::StoreBe64;

// Keystream blocks computed per call to the bulk ECB path (8 KiB of AES or SM4, 4 KiB of DES):
// enough to make the key expansion of each call small beside it.
constexpr size_t kBatchBlocks = 512;

// XorBytes sets out[i] = a[i] ^ b[i] for n bytes, sixteen at a time; `out` may be `a`.
void XorBytes(uint8_t* out, const uint8_t* a, const uint8_t* b, size_t n) {
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        uint64_t x[2], y[2];
        std::memcpy(x, a + i, 16);
        std::memcpy(y, b + i, 16);
        x[0] ^= y[0];
        x[1] ^= y[1];
        std::memcpy(out + i, x, 16);
    }
    for (; i < n; ++i) {
        out[i] = static_cast<uint8_t>(a[i] ^ b[i]);
    }
}

// The counter block as big-endian 64-bit halves (one half for an 8-byte block).
struct Counter {
    uint64_t high = 0;
    uint64_t low = 0;
    size_t block = 16;
    CounterIncrement increment = CounterIncrement::kWholeBlock;

    void Load(const uint8_t* p) {
        if (block == 8) {
            low = LoadBe64(p);
        } else {
            high = LoadBe64(p);
            low = LoadBe64(p + 8);
        }
    }
    void Store(uint8_t* p) const {
        if (block == 8) {
            StoreBe64(p, low);
        } else {
            StoreBe64(p, high);
            StoreBe64(p + 8, low);
        }
    }
    void Next() {
        if (increment == CounterIncrement::kLow32Bits) {
            low = (low & 0xFFFFFFFF00000000u) | static_cast<uint32_t>(low + 1);
        } else if (++low == 0) {
            ++high;
        }
    }
    // Fill writes `blocks` successive counter blocks into `out` and steps past them. Where the
    // part that changes cannot carry out within the batch (nearly always), the fixed part is
    // written as it stands and only the low word counts up.
    void Fill(uint8_t* out, size_t blocks) {
        const uint64_t room =
            increment == CounterIncrement::kLow32Bits ? 0xFFFFFFFFu - (low & 0xFFFFFFFFu) : ~low;
        if (block == 16 && room >= blocks) {
            const uint64_t fixed = __builtin_bswap64(high);
            for (size_t i = 0; i < blocks; ++i) {
                std::memcpy(out + 16 * i, &fixed, 8);
                const uint64_t low_bytes = __builtin_bswap64(low + i);
                std::memcpy(out + 16 * i + 8, &low_bytes, 8);
            }
            low += blocks;
            return;
        }
        for (size_t i = 0; i < blocks; ++i) {
            Store(out + block * i);
            Next();
        }
    }
};

// FeedbackMode runs CFB or OFB block by block: O = E(I); the next I is O in OFB and the
// ciphertext block in CFB (SP 800-38A 6.3 with s = b, 6.4). A final partial block uses the
// leading bytes of O.
void FeedbackMode(CBlockCipher& cipher, bool cfb, bool decrypt, std::span<uint8_t> output,
                  std::span<const uint8_t> iv, std::span<const uint8_t> input) {
    const size_t b = cipher.BlockSize();
    std::array<uint8_t, CBlockCipher::kMaxBlock> feedback{};
    std::copy(iv.begin(), iv.end(), feedback.begin());
    for (size_t offset = 0; offset < input.size(); offset += b) {
        const size_t n = std::min(b, input.size() - offset);
        std::array<uint8_t, CBlockCipher::kMaxBlock> in{};
        std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(offset), n, in.begin());
        cipher.EncryptBlock(feedback.data(), feedback.data());
        XorBytes(&output[offset], in.data(), feedback.data(), n);
        if (cfb) {
            std::copy_n(decrypt ? in.data() : &output[offset], n, feedback.begin());
        }
    }
}

void CbcEncrypt(CBlockCipher& cipher, std::span<uint8_t> output, std::span<const uint8_t> iv,
                std::span<const uint8_t> input) {
    // SP 800-38A 6.2: C_j = E(P_j XOR C_{j-1}), C_0 = IV.
    const size_t b = cipher.BlockSize();
    std::array<uint8_t, CBlockCipher::kMaxBlock> v{};
    std::copy(iv.begin(), iv.end(), v.begin());
    for (size_t offset = 0; offset < input.size(); offset += b) {
        XorBytes(v.data(), v.data(), &input[offset], b);
        cipher.EncryptBlock(v.data(), v.data());
        std::copy_n(v.begin(), b, output.begin() + static_cast<std::ptrdiff_t>(offset));
    }
}

bool CbcDecrypt(CBlockCipher& cipher, std::span<uint8_t> output, std::span<const uint8_t> iv,
                std::span<const uint8_t> input) {
    // SP 800-38A 6.2: P_j = D(C_j) XOR C_{j-1}; the decryptions are independent, so each batch
    // goes through the bulk path. The ciphertext is kept first, since `output` may be `input`.
    const size_t b = cipher.BlockSize();
    std::array<uint8_t, CBlockCipher::kMaxBlock*(kBatchBlocks + 1)> previous{};
    std::copy(iv.begin(), iv.end(), previous.begin());
    for (size_t offset = 0; offset < input.size(); offset += kBatchBlocks * b) {
        const size_t n = std::min(kBatchBlocks * b, input.size() - offset);
        std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(offset), n, previous.begin() + b);
        const std::span<uint8_t> out = output.subspan(offset, n);
        if (!cipher.DecryptBlocks(std::span(previous).subspan(b, n), out)) {
            return false;
        }
        XorBytes(out.data(), out.data(), previous.data(), n);
        std::copy_n(previous.begin() + static_cast<std::ptrdiff_t>(n), b, previous.begin());
    }
    return true;
}

}  // namespace

bool IsStreamMode(CipherMode mode) {
    return mode == CipherMode::kCfb || mode == CipherMode::kOfb || mode == CipherMode::kCtr;
}

bool CtrXor(CBlockCipher& cipher, std::span<uint8_t> counter, CounterIncrement increment,
            std::span<uint8_t> out, std::span<const uint8_t> in) {
    const size_t b = cipher.BlockSize();
    if (counter.size() != b || out.size() != in.size()) {
        return false;
    }
    Counter ctr;
    ctr.block = b;
    ctr.increment = increment;
    ctr.Load(counter.data());
    // SP 800-38A 6.5: O_j = E(T_j), C_j = P_j XOR O_j; the counter blocks are written a batch at
    // a time and encrypted together.
    std::array<uint8_t, CBlockCipher::kMaxBlock * kBatchBlocks> keystream;
    for (size_t offset = 0; offset < in.size(); offset += kBatchBlocks * b) {
        const size_t n = std::min(kBatchBlocks * b, in.size() - offset);
        const size_t blocks = (n + b - 1) / b;
        ctr.Fill(keystream.data(), blocks);
        const std::span<uint8_t> batch(keystream.data(), blocks * b);
        if (!cipher.EncryptBlocks(batch, batch)) {
            return false;
        }
        XorBytes(&out[offset], &in[offset], keystream.data(), n);
    }
    ctr.Store(counter.data());
    return true;
}

bool CipherModeCrypt(CBlockCipher& cipher, CipherMode mode, bool decrypt, std::span<uint8_t> output,
                     std::span<const uint8_t> iv, std::span<const uint8_t> input) {
    const size_t b = cipher.BlockSize();
    if (output.size() != input.size() || (mode != CipherMode::kEcb && iv.size() != b) ||
        (!IsStreamMode(mode) && input.size() % b != 0)) {
        return false;
    }
    switch (mode) {
        case CipherMode::kEcb:
            return decrypt ? cipher.DecryptBlocks(input, output)
                           : cipher.EncryptBlocks(input, output);
        case CipherMode::kCbc:
            if (decrypt) {
                return CbcDecrypt(cipher, output, iv, input);
            }
            CbcEncrypt(cipher, output, iv, input);
            return true;
        case CipherMode::kCfb:
        case CipherMode::kOfb:
            FeedbackMode(cipher, mode == CipherMode::kCfb, decrypt, output, iv, input);
            return true;
        case CipherMode::kCtr: {
            std::array<uint8_t, CBlockCipher::kMaxBlock> counter{};
            std::copy(iv.begin(), iv.end(), counter.begin());
            return CtrXor(cipher, std::span(counter).first(b), CounterIncrement::kWholeBlock,
                          output, input);
        }
    }
    return false;
}
