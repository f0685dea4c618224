#include "pages/checksum_page.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/hex_codec.h"
#include "support/evp_digest.h"
#include "support/page_gestures.h"

namespace {

enum Type { kSha1, kSha256, kMd5, kCrc16, kSha384, kSha512, kLrc, kCrc32 };

std::string Illegal(int position) {
    return "The " + std::to_string(position) +
           " byte of the SHA Data is the illegal, Pls Check !!!";
}

// The digest OpenSSL gives for the bytes written as hex (pairs only).
std::string Evp(const EVP_MD* md, const std::string& hex) {
    return BytesToHex(EvpDigest(md, HexToBytes(hex)));
}

std::string Pattern(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<uint8_t>(i);
    }
    return BytesToHex(bytes);
}

struct ComputeCase {
    int type;
    std::string data;
    std::string result;
    const char* counter;
};

TEST(ChecksumPage, ComputesTheChosenCheck) {
    const std::string long_data = Pattern(1000);
    // Checksums from CPython's binascii.crc_hqx(data, 0) and zlib.crc32; digests from OpenSSL.
    const ComputeCase cases[] = {
        // The empty message.
        {kSha1, "", Evp(EVP_sha1(), ""), "20"},
        {kSha256, "", Evp(EVP_sha256(), ""), "32"},
        {kMd5, "", Evp(EVP_md5(), ""), "16"},
        {kSha384, "", Evp(EVP_sha384(), ""), "48"},
        {kSha512, "", Evp(EVP_sha512(), ""), "64"},
        {kCrc16, "", "00", "01"},
        {kCrc32, "", "00", "01"},
        {kLrc, "", "00", "01"},
        // Blanks removed, lower case taken.
        {kSha1, "61 62 63", "A9993E364706816ABA3E25717850C26C9CD0D89D", "20"},
        {kSha256, "6162 63", Evp(EVP_sha256(), "616263"), "32"},
        {kMd5, "61 62 63", "900150983CD24FB0D6963F7D28E17F72", "16"},
        {kSha384, "616263", Evp(EVP_sha384(), "616263"), "48"},
        {kSha512, "6a 6B", Evp(EVP_sha512(), "6A6B"), "64"},
        // An odd last digit: the high nibble of a last byte for every check but MD5, which
        // leaves it out; a single digit is a low nibble.
        {kSha1, "ABC", Evp(EVP_sha1(), "ABC0"), "20"},
        {kSha256, "ABC", Evp(EVP_sha256(), "ABC0"), "32"},
        {kSha384, "ABC", Evp(EVP_sha384(), "ABC0"), "48"},
        {kSha512, "ABC", Evp(EVP_sha512(), "ABC0"), "64"},
        {kMd5, "ABC", Evp(EVP_md5(), "AB"), "16"},
        {kSha1, "D", Evp(EVP_sha1(), "0D"), "20"},
        {kMd5, "D", Evp(EVP_md5(), ""), "16"},
        {kCrc16, "123", "5342", "02"},
        {kCrc32, "ABC", "974EB56D", "04"},
        {kLrc, "ABC", "6B", "01"},
        {kLrc, "5", "05", "01"},
        // "%02x" then upper case: no leading zeros beyond the second digit.
        {kCrc16, "31 32 33 34 35 36 37 38 39", "31C3", "02"},
        {kCrc32, "31 32 33 34 35 36 37 38 39", "CBF43926", "04"},
        {kCrc16, "11", "210", "01"},
        {kCrc16, "89", "A1", "01"},
        {kCrc16, "1CBE", "0B", "01"},
        {kCrc32, "22", "762AE69", "03"},
        {kCrc32, "00AB", "DD689F", "03"},
        {kCrc32, "26", "F6A70", "02"},
        {kLrc, "0102", "03", "01"},
        {kLrc, "01", "01", "01"},
        {kLrc, "FF FF", "00", "01"},
        {kLrc, "0A", "0A", "01"},
        // No length limit: 1000 bytes, past the 512-byte and 1,023-digit buffers of old.
        {kCrc16, long_data, "3F96", "02"},
        {kCrc32, long_data, "74E3FB41", "04"},
        {kSha1, long_data + "A", Evp(EVP_sha1(), long_data + "A0"), "20"},
        {kSha256, long_data, "A8AF099BF2E878609558DBF69D8F88F4A31040A8CF84B549A0CFA912F12FFC3F",
         "32"},
        {kMd5, long_data + "A", "CBECBDB0FDD5CEC1E242493B6008CC79", "16"},
    };
    for (const ComputeCase& c : cases) {
        CChecksumPage page;
        page.Type("data", c.data);
        page.Choose("type", c.type);
        const std::string where = "type " + std::to_string(c.type) + " " + c.data.substr(0, 40);
        EXPECT_EQ(page.Press("compute"), std::nullopt) << where;
        EXPECT_EQ(TextOf(page, "result"), c.result) << where;
        EXPECT_EQ(FieldOf(page, "result").counter, c.counter) << where;
        EXPECT_EQ(page.WrittenFields(), std::vector<std::string>{"result"}) << where;
        EXPECT_EQ(TextOf(page, "data"), c.data) << where;
    }
}

TEST(ChecksumPage, RefusesANonHexCharacterAndChangesNothing) {
    const struct {
        int type;
        const char* data;
        int position;
    } cases[] = {
        {kSha1, "12G4", 2},      {kSha256, "G234", 1},   {kMd5, "12\t4", 2},
        {kCrc16, "12\r\n34", 2}, {kCrc32, "1234 5Z", 3}, {kLrc, "1G2", 2},
        {kSha384, "12345Z", 3},  {kSha512, "-0", 1},
    };
    for (const auto& c : cases) {
        CChecksumPage page;
        page.Type("data", "0102");
        page.Choose("type", kLrc);
        ASSERT_EQ(page.Press("compute"), std::nullopt);
        page.Type("data", c.data);
        page.Choose("type", c.type);
        EXPECT_EQ(page.Press("compute"), ErrorBox(Illegal(c.position))) << c.data;
        EXPECT_EQ(TextOf(page, "result"), "03") << c.data;
        EXPECT_EQ(FieldOf(page, "result").counter, "01") << c.data;
        EXPECT_EQ(TextOf(page, "data"), c.data) << c.data;
        EXPECT_TRUE(page.WrittenFields().empty()) << c.data;
    }
}

TEST(ChecksumPage, CountersFollowTheDataAndClearEmptiesBothCounters) {
    CChecksumPage page;
    EXPECT_EQ(page.FindOption("type")->selected, kSha1);
    const struct {
        std::string text;
        const char* counter;
    } typed[] = {{"11 22 33", "03"}, {"123", "01"}, {"", "00"}, {std::string(400, 'A'), "200"}};
    for (const auto& t : typed) {
        page.Type("data", t.text);
        EXPECT_EQ(FieldOf(page, "data").counter, t.counter) << t.text;
    }
    page.Type("data", "31 32 33");
    page.Choose("type", kCrc32);
    ASSERT_EQ(page.Press("compute"), std::nullopt);
    EXPECT_EQ(FieldOf(page, "result").counter, "04");

    EXPECT_EQ(page.Press("clear"), std::nullopt);
    for (const char* id : {"data", "result"}) {
        EXPECT_EQ(TextOf(page, id), "") << id;
        EXPECT_EQ(FieldOf(page, id).counter, "") << id;
    }
    EXPECT_EQ(page.WrittenFields(), (std::vector<std::string>{"data", "result"}));
    EXPECT_EQ(page.FindOption("type")->selected, kCrc32);
}

TEST(ChecksumPage, DeclaresItsForm) {
    CChecksumPage page;
    EXPECT_EQ(page.Name(), "checksum");
    EXPECT_EQ(page.TabCaption(), "校验运算");
    ASSERT_EQ(page.Sections().size(), 1u);
    EXPECT_EQ(page.Sections()[0].caption, "校验运算算法");
    EXPECT_EQ(page.Sections()[0].caption_role, Role::Frame);
    EXPECT_EQ(FieldOf(page, "data").label, "数据：");
    EXPECT_EQ(FieldOf(page, "data").kind, FieldKind::MultiLine);
    EXPECT_EQ(FieldOf(page, "data").role, Role::Input);
    EXPECT_EQ(FieldOf(page, "result").label, "结果：");
    EXPECT_EQ(FieldOf(page, "result").role, Role::Result);
    EXPECT_TRUE(FieldOf(page, "result").read_only);
    EXPECT_EQ(FieldOf(page, "result").counter_rule, CounterRule::Manual);
    const OptionGroup& type = *page.FindOption("type");
    EXPECT_EQ(type.caption, "类型选择");
    EXPECT_EQ(type.columns, 4);
    const std::vector<std::pair<std::string, std::string>> choices = {
        {"sha1", "SHA-1校验"},  {"sha256", "SHA256校验"}, {"md5", "MD5校验"},
        {"crc16", "CRC16校验"}, {"sha384", "SHA384校验"}, {"sha512", "SHA512校验"},
        {"lrc", "LRC校验"},     {"crc32", "CRC32校验"}};
    ASSERT_EQ(type.choices.size(), choices.size());
    for (size_t i = 0; i < choices.size(); ++i) {
        EXPECT_EQ(type.choices[i].name, choices[i].first);
        EXPECT_EQ(type.choices[i].caption, choices[i].second);
    }
    ASSERT_EQ(page.Buttons().size(), 2u);
    EXPECT_EQ(page.Buttons()[0].caption, "计算");
    EXPECT_EQ(page.Buttons()[1].caption, "清空");
}

}  // namespace
