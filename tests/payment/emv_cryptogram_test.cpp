#include "payment/emv_cryptogram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/hex_codec.h"

namespace {

// The PBOC 3DES worked example of the team's EMV note (13-digit PAN), with the card's ARQC.
EmvCryptogramInputs PbocExample() {
    EmvCryptogramInputs in;
    const std::vector<uint8_t> imk = HexToBytes("F0C34A8124CEE0A91A0B034AA97D6EAC");
    std::copy(imk.begin(), imk.end(), in.imk.begin());
    in.pan = "6228000100001";
    in.psn = 0x01;
    in.atc = {0x02, 0x40};
    in.data =
        HexToBytes("000000000001000000000000015600800460000156140701001E78EEBC7D00024003A04002");
    in.arqc = {0x5D, 0x01, 0x6C, 0x91, 0x00, 0x5E, 0x7C, 0xC2};
    in.arc = {0x30, 0x31};
    return in;
}

TEST(EmvCryptograms, ResultsOfThePbocExample) {
    const std::optional<EmvCryptogramResults> out = EmvComputeCryptograms(PbocExample());
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(BytesToHex(out->udk), "014C986ECD8F49157CC8B59E3BCDFD98");
    ASSERT_TRUE(out->session_key && out->ac && out->arpc && out->tag91);
    EXPECT_EQ(BytesToHex(*out->session_key), "D5102625E6E5AD329E54ABB50BF23DA8");
    EXPECT_EQ(BytesToHex(*out->ac), "5D016C91005E7CC2");
    EXPECT_EQ(out->arqc_matches, true);
    EXPECT_EQ(BytesToHex(*out->arpc), "21415243527CE78F");
    EXPECT_EQ(BytesToHex(*out->tag91), "21415243527CE78F3031");
}

// Refused whether or not the computation reaches the refused part: the inputs stop at the card
// key (no ATC, data or ARQC), yet every choice without an SM4 form is refused, as are a PAN that
// is not 1 to 19 digits and more than 8 bytes of proprietary data. MasterKey reads no PAN.
TEST(EmvCryptograms, RefusalsWhereverTheComputationStops) {
    EmvCryptogramInputs card_only = PbocExample();
    card_only.atc.reset();
    card_only.data.clear();
    card_only.arqc.reset();
    const struct {
        const char* name;
        std::function<void(EmvCryptogramInputs&)> change;
        bool computes;
    } cases[] = {
        {"3DES as it is", [](EmvCryptogramInputs&) {}, true},
        {"SM4 as it is", [](EmvCryptogramInputs& in) { in.cipher = EmvCipher::Sm4; }, true},
        {"SM4, Option B",
         [](EmvCryptogramInputs& in) {
             in.cipher = EmvCipher::Sm4;
             in.udk_method = EmvUdkMethod::OptionB;
         },
         false},
        {"SM4, common session key",
         [](EmvCryptogramInputs& in) {
             in.cipher = EmvCipher::Sm4;
             in.session_method = EmvSessionMethod::Common;
         },
         false},
        {"SM4, Mastercard session key",
         [](EmvCryptogramInputs& in) {
             in.cipher = EmvCipher::Sm4;
             in.session_method = EmvSessionMethod::Mastercard;
         },
         false},
        {"SM4, padding method 1",
         [](EmvCryptogramInputs& in) {
             in.cipher = EmvCipher::Sm4;
             in.padding = EmvPadding::Method1;
         },
         false},
        {"SM4, ARPC method 2",
         [](EmvCryptogramInputs& in) {
             in.cipher = EmvCipher::Sm4;
             in.arpc_method = EmvArpcMethod::Method2;
         },
         false},
        {"a letter in the PAN", [](EmvCryptogramInputs& in) { in.pan = "62280001A0001"; }, false},
        {"no PAN", [](EmvCryptogramInputs& in) { in.pan.clear(); }, false},
        {"no PAN, master key as card key",
         [](EmvCryptogramInputs& in) {
             in.pan.clear();
             in.udk_method = EmvUdkMethod::MasterKey;
         },
         true},
        {"9 bytes of proprietary data",
         [](EmvCryptogramInputs& in) { in.proprietary.assign(9, 0); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EmvCryptogramInputs in = card_only;
        c.change(in);
        EXPECT_EQ(EmvComputeCryptograms(in).has_value(), c.computes);
    }
}

}  // namespace
