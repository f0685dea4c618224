#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/hex_codec.h"
#include "crypto/hash/sha256.h"
#include "tlv/emv_tags.h"
#include "tlv/tag_dictionary.h"
#include "tlv/tlv_parser.h"
#include "tlv/tlv_reader.h"

namespace {

// Bytes are held in an exactly sized heap buffer, so a read past the end trips AddressSanitizer.
std::vector<uint8_t> Bytes(std::string_view hex) {
    return HexToBytes(RemoveBlanks(hex));
}

std::optional<std::string> List(const std::vector<uint8_t>& data, int depth = 1) {
    std::string out;
    if (!CTlvParser().FormatTlvLevel(depth, data, out)) {
        EXPECT_EQ(out, "");
        return std::nullopt;
    }
    return out;
}

}  // namespace

TEST(TlvReader, ReadsOneObjectByTagAndLengthRules) {
    struct Case {
        const char* data;
        const char* tag;  // nullptr: no object
        const char* value;
    };
    const Case cases[] = {
        {"5A 01 AA", "5A", "AA"},
        {"9F26 02 ABCD", "9F26", "ABCD"},
        {"1F01 01 AA", "1F01", "AA"},          // low five bits all ones: a long tag
        {"DF8101 01 55", "DF8101", "55"},      // subsequent byte with bit 8 set continues the tag
        {"DF818203 01 55", "DF818203", "55"},  // four tag bytes, the most accepted
        {"DF81828304 01 55", nullptr, ""},
        {"9F8102 AABB", nullptr, ""},  // tag 9F8102, then the unacceptable length byte AA
        {"9F", nullptr, ""},
        {"DF81", nullptr, ""},
        {"9F26", nullptr, ""},
        {"80 01 AA", nullptr, ""},  // 80, 00, 20 and 01..1E start no object
        {"00 01 AA", nullptr, ""},
        {"20 01 AA", nullptr, ""},
        {"04 01 AA", nullptr, ""},
        {"1E 01 AA", nullptr, ""},
        {"5A 80 AA", nullptr, ""},  // indefinite form
        {"5A 84 00000001 AA", nullptr, ""},
        {"5A FF AA", nullptr, ""},
        {"5A 81", nullptr, ""},
        {"5A 82 01", nullptr, ""},
        {"5A 02 AA", nullptr, ""},  // value runs past the data
        {"5A 00", "5A", ""},        // length 00: an empty value
        {"5A 81 00", "5A", ""},
        {"5A 83 000001 AA", "5A", "AA"},
        {"5A 01 AA 9F", "5A", "AA"},  // one object; what follows is not its business
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        const std::vector<uint8_t> data = Bytes(c.data);
        TlvItem item;
        ASSERT_EQ(ParseTlvItem(item, data), c.tag != nullptr);
        if (c.tag != nullptr) {
            EXPECT_EQ(BytesToHex(item.tag), c.tag);
            EXPECT_EQ(BytesToHex(item.value), c.value);
        }
    }
}

TEST(TlvReader, CountsAndSplitsOnlyExactSequences) {
    const std::pair<const char*, std::optional<size_t>> cases[] = {
        {"", 0},
        {"5A 01 AA", 1},
        {"5A 01 AA 9F", std::nullopt},
        {"5A 01 AA 5A 00 9F36 02 0001", 3},
        {"80 02 1234", std::nullopt},
    };
    for (const auto& [hex, count] : cases) {
        SCOPED_TRACE(hex);
        const std::vector<uint8_t> data = Bytes(hex);
        EXPECT_EQ(CountTlvItems(data), count);
        const std::optional<std::vector<TlvItem>> items = SplitTlvItems(data);
        ASSERT_EQ(items.has_value(), count.has_value());
        if (items) {
            ASSERT_EQ(items->size(), *count);
        }
    }
    // The items point into the caller's bytes.
    const std::vector<uint8_t> data = Bytes("5A 01 AA 9F36 02 0001");
    const std::vector<TlvItem> items = SplitTlvItems(data).value();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].value.data(), data.data() + 2);
    EXPECT_EQ(items[1].tag.data(), data.data() + 3);
    EXPECT_EQ(items[1].Size(), 5u);
}

TEST(TlvListing, FciExample) {
    EXPECT_EQ(List(Bytes("6F 0E 84 07 A0 00 00 03 33 01 01 A5 03 50 01 4B")),
              "[6F]\t0E\t8407A0000003330101A50350014B\t文件控制信息（FCI）模板\r\n"
              "\t[[84]]\t07\tA0000003330101\t专用文件（DF）名称\r\n"
              "\t[[A5]]\t03\t50014B\t文件控制信息（FCI）专用模板\r\n"
              "\t\t[[[50]]]\t01\t4B\t应用标签\r\n");
}

TEST(TlvListing, LengthDigitsFollowTheValueLengthAlone) {
    struct Case {
        const char* field;  // as written in the data
        size_t length;
        const char* shown;
    };
    const Case cases[] = {
        {"00", 0, "00"},
        {"05", 5, "05"},
        {"8105", 5, "05"},
        {"7F", 127, "7F"},
        {"8180", 128, "8180"},
        {"820080", 128, "8180"},
        {"81FF", 255, "81FF"},
        {"820100", 256, "820100"},
        {"8300012C", 300, "82012C"},
        {"82FFFF", 65535, "82FFFF"},
        {"83010000", 65536, "83010000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        std::vector<uint8_t> data = Bytes(std::string("5A") + c.field);
        data.resize(data.size() + c.length, 0x00);
        EXPECT_EQ(List(data), std::string("[5A]\t") + c.shown + "\t" +
                                  std::string(2 * c.length, '0') + "\t应用主账号（PAN）\r\n");
    }
}

TEST(TlvListing, LongValueInLargeDataIsListedWhole) {
    // A 300-byte value followed by a 65,536-byte one: more than 65,535 bytes of data in all.
    std::vector<uint8_t> data = Bytes("5A 82 012C");
    data.resize(data.size() + 300, 0x00);
    const std::vector<uint8_t> second = Bytes("9F05 83 010000");
    data.insert(data.end(), second.begin(), second.end());
    data.resize(data.size() + 65536, 0x00);
    EXPECT_EQ(List(data), "[5A]\t82012C\t" + std::string(600, '0') + "\t应用主账号（PAN）\r\n" +
                              "[9F05]\t83010000\t" + std::string(131072, '0') +
                              "\t应用自定义数据\r\n");
}

TEST(TlvListing, ObjectsAndDepths) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"", ""},
        {"80 02 1234", std::nullopt},
        {"5A 01 AA 9F", std::nullopt},
        {"DF8101 01 55", "[DF8101]\t01\t55\t\r\n"},
        {"1F01 01 AA", "[1F01]\t01\tAA\t\r\n"},
        {"9F42 00", "[9F42]\t00\t\t应用货币代码（如果CVM中要求金额检查，需要此数据）\r\n"},
        {"5A 81 00", "[5A]\t00\t\t应用主账号（PAN）\r\n"},
        // A primitive value that reads as objects is expanded too.
        {"5A 03 50014B", "[5A]\t03\t50014B\t应用主账号（PAN）\r\n\t[[50]]\t01\t4B\t应用标签\r\n"},
        // Six nested objects: the sixth stays inside the value of the fifth.
        {"71 0B 72 09 73 07 74 05 75 03 5A 01 AA",
         "[71]\t0B\t72097307740575035A01AA\t\r\n"
         "\t[[72]]\t09\t7307740575035A01AA\t发卡行脚本模板2\r\n"
         "\t\t[[[73]]]\t07\t740575035A01AA\t目录自定义模板\r\n"
         "\t\t\t[[[[74]]]]\t05\t75035A01AA\t\r\n"
         "\t\t\t\t[[[[[75]]]]]\t03\t5A01AA\t\r\n"},
    };
    for (const auto& [hex, listing] : cases) {
        SCOPED_TRACE(hex);
        EXPECT_EQ(List(Bytes(hex)), listing);
    }
    EXPECT_EQ(List(Bytes("5A 01 AA"), 0), std::nullopt);
    EXPECT_EQ(List(Bytes("5A 01 AA"), 6), std::nullopt);
    EXPECT_EQ(List(Bytes("5A 03 50014B"), 5),
              "\t\t\t\t[[[[[5A]]]]]\t03\t50014B\t应用主账号（PAN）\r\n");
}

TEST(TlvListing, CardResponses) {
    const std::string cert = "6A02" + std::string(250, '0') + "BC";
    const std::pair<std::string, std::string> cases[] = {
        // SELECT of the contactless payment directory.
        {"6F24 840E325041592E5359532E4444463031 A512BF0C0F610D4F08A000000333010101870101",
         "[6F]\t24\t840E325041592E5359532E4444463031A512BF0C0F610D4F08A000000333010101870101"
         "\t文件控制信息（FCI）模板\r\n"
         "\t[[84]]\t0E\t325041592E5359532E4444463031\t专用文件（DF）名称\r\n"
         "\t[[A5]]\t12\tBF0C0F610D4F08A000000333010101870101\t文件控制信息（FCI）专用模板\r\n"
         "\t\t[[[BF0C]]]"
         "\t0F\t610D4F08A000000333010101870101\t文件控制信息（FCI）发卡行自定义数据\r\n"
         "\t\t\t[[[[61]]]]\t0D\t4F08A000000333010101870101\t应用模板（如果有PSE）\r\n"
         "\t\t\t\t[[[[[4F]]]]]\t08\tA000000333010101\t应用标识符（AID）\r\n"
         "\t\t\t\t[[[[[87]]]]]\t01\t01\t应用优先指示器\r\n"},
        // GET PROCESSING OPTIONS, format 2. The AIP 7C00 reads as the object 7C with length 00.
        {"772D 82027C00 94080801010010010301 9F270180 9F36020001 9F26081D93A7C2E45B6F08"
         " 9F100807010103A0000001",
         "[77]\t2D\t82027C00940808010100100103019F2701809F360200019F26081D93A7C2E45B6F08"
         "9F100807010103A0000001\t响应报文模板格式2\r\n"
         "\t[[82]]\t02\t7C00\t应用交互特征（AIP）\r\n"
         "\t\t[[[7C]]]\t00\t\t\r\n"
         "\t[[94]]\t08\t0801010010010301\t应用文件定位器\r\n"
         "\t[[9F27]]\t01\t80\t密文信息数据\r\n"
         "\t[[9F36]]\t02\t0001\t应用交易计数器\r\n"
         "\t[[9F26]]\t08\t1D93A7C2E45B6F08\t应用密文（AC）\r\n"
         "\t[[9F10]]\t08\t07010103A0000001\t发卡行应用数据\r\n"},
        // Two READ RECORD responses, the second with a 128-byte certificate.
        {"7029 57116212345678901234D2412201123456789F 5F200A43415244484F4C444552"
         " 9F1F06313233343536"
         " 708190 8F0103 908180" +
             cert + " 9F320103 920411223344",
         "[70]"
         "\t29\t57116212345678901234D2412201123456789F5F200A43415244484F4C4445529F1F06313233343536"
         "\t\r\n"
         "\t[[57]]\t11\t6212345678901234D2412201123456789F\t磁条2等效数据\r\n"
         "\t[[5F20]]\t0A\t43415244484F4C444552\t持卡人姓名\r\n"
         "\t[[9F1F]]\t06\t313233343536\t磁条1自定义数据\r\n"
         "[70]\t8190\t8F0103908180" +
             cert +
             "9F320103920411223344\t\r\n"
             "\t[[8F]]\t01\t03\tCA公钥索引（PKI）\r\n"
             "\t[[90]]\t8180\t" +
             cert +
             "\t发卡行公钥证书\r\n"
             "\t[[9F32]]\t01\t03\t发卡行公钥指数\r\n"
             "\t[[92]]\t04\t11223344\t发卡行公钥余数\r\n"},
    };
    for (const auto& [hex, listing] : cases) {
        SCOPED_TRACE(hex);
        EXPECT_EQ(List(Bytes(hex)), listing);
    }
}

TEST(TagDictionary, EntriesAndLookup) {
    std::set<std::string_view> tags;
    size_t one_byte = 0;
    for (const TagEntry& entry : TagDictionary()) {
        EXPECT_FALSE(entry.description.empty()) << entry.tag;
        EXPECT_EQ(BytesToHex(HexToBytes(entry.tag)), entry.tag);
        tags.insert(entry.tag);
        one_byte += entry.tag.size() == 2;
    }
    EXPECT_EQ(tags.size(), 111u);
    EXPECT_EQ(one_byte, 28u);

    const CTlvParser parser;
    EXPECT_EQ(parser.LookupTagName("9f26"), "应用密文（AC）");
    EXPECT_EQ(parser.LookupTagName("bF0c"), parser.LookupTagName("BF0C"));
    EXPECT_EQ(parser.LookupTagName("9F12"), "应用首选名称 ");
    EXPECT_EQ(parser.LookupTagName("9F0E"), "发卡行行为代码（IAC）-拒绝 ");
    EXPECT_EQ(parser.LookupTagName("5F28"), parser.LookupTagName("9F57"));
    EXPECT_EQ(parser.LookupTagName("80"), "响应报文模板格式1");
    EXPECT_EQ(parser.LookupTagName("DF78"),
              "第二币种电子现金单笔交易限额（EC Secondary Application Single Transaction Limit）");
    EXPECT_EQ(parser.LookupTagName("70"), "");
    EXPECT_EQ(parser.LookupTagName("9F2"), "");
    EXPECT_EQ(parser.LookupTagName(""), "");
}

TEST(TagDictionary, TheListingNamesTheSameTagsWithTheSameTexts) {
    // SHA-256 of "tag TAB name LF" for every tag of the EMV table in table order, the name being
    // the one the data-mode listing shows (empty for a tag it does not name). The digest was taken
    // from the listing's former table of its own: it pins the 111 texts, blanks included, and
    // that no other tag of the EMV table gets a name in that listing.
    std::string names;
    for (const EmvTagEntry& entry : EmvTagTable()) {
        names.append(entry.tag).append("\t").append(LookupTagName(entry.tag)).append("\n");
    }
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(names.data()),
                                         names.size());
    EXPECT_EQ(BytesToHex(Sha256Hash(bytes)),
              "85E480C6A852ED7809607AA337218899FA39880946FB78C6DD40B2992E0EE794");
    // The entries the fuzz target checks the listing against are the ones the lookup uses.
    for (const TagEntry& entry : TagDictionary()) {
        EXPECT_EQ(LookupTagName(entry.tag), entry.description) << entry.tag;
    }
}
