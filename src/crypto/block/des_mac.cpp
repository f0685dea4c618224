#include "crypto/block/des_mac.h"

#include <algorithm>
#include <array>

#include "crypto/block/des.h"
#include "crypto/byte_order.h"

namespace {

using Block = std::array<uint8_t, 8>;

Block InitialValue(std::span<const uint8_t> iv) {
    Block value{};
    std::copy_n(iv.begin(), std::min<size_t>(iv.size(), 8), value.begin());
    return value;
}

uint64_t LoadBlock(const uint8_t* bytes) {
    return byte_order::LoadBe64(bytes);
}

Block StoreBlock(uint64_t value) {
    Block bytes{};
    byte_order::StoreBe64(bytes.data(), value);
    return bytes;
}

// The chain H_i = e_K(D_i XOR H_{i-1}) over the padded data (ISO/IEC 9797-1 7.1, iteration
// under the initial value H_0 = IV). The key is expanded once for the whole chain.
Block CbcChain(MacPadType pad, std::span<const uint8_t> iv, std::span<const uint8_t, 8> key,
               std::span<const uint8_t> data) {
    const std::vector<uint8_t> padded = MacPad(pad, data);
    const DesCipherKeys schedule = DesPrepare(DesKeySchedule(key));
    uint64_t h = LoadBlock(InitialValue(iv).data());
    for (size_t offset = 0; offset < padded.size(); offset += 8) {
        h = DesBlock(h ^ LoadBlock(padded.data() + offset), schedule, false);
    }
    return StoreBlock(h);
}

}  // namespace

std::vector<uint8_t> MacPad(MacPadType pad, std::span<const uint8_t> data) {
    std::vector<uint8_t> padded(data.begin(), data.end());
    if (pad == MacPadType::AnsiX919) {
        // Padding method 1: zero bytes up to the block boundary; the empty string is one block.
        padded.resize(std::max<size_t>((data.size() + 7) / 8 * 8, 8), 0x00);
    } else {
        // Padding method 2: a single 80 byte, then zero bytes up to the block boundary.
        padded.push_back(0x80);
        padded.resize((padded.size() + 7) / 8 * 8, 0x00);
    }
    return padded;
}

bool MacSingleKey(MacPadType pad, std::span<const uint8_t> iv, std::span<const uint8_t> key,
                  std::span<const uint8_t> data, std::span<uint8_t, 8> mac) {
    if (key.size() < 8) {
        return false;
    }
    // MAC algorithm 1: output transformation 1 keeps the last chaining block.
    const Block h = CbcChain(pad, iv, key.first<8>(), data);
    std::copy(h.begin(), h.end(), mac.begin());
    return true;
}

bool MacDoubleKey(MacPadType pad, std::span<const uint8_t> iv, std::span<const uint8_t> key,
                  std::span<const uint8_t> data, std::span<uint8_t, 8> mac) {
    if (key.size() < 16) {
        return false;
    }
    const std::span<const uint8_t, 8> left = key.first<8>();
    Block h = CbcChain(pad, iv, left, data);
    // MAC algorithm 3, output transformation 3: G = e_K(d_K'(H_q)).
    DesDecryptBlock(key.subspan<8, 8>(), h, h);
    DesEncryptBlock(left, h, mac);
    return true;
}
