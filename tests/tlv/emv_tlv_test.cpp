// The "EMV 标准解析" listing: card responses byte for byte, every fault kind, and the decoders by
// family. Meanings are those of EMV 4.4 Books 3 and 4, ISO/IEC 7816-4, ISO 4217 and ISO 3166.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/hex_codec.h"
#include "pages/tlv_page.h"
#include "tlv/emv_tags.h"
#include "tlv/emv_tlv_listing.h"
#include "tlv/emv_tlv_reader.h"
#include "tlv/emv_value_decoders.h"

namespace {

// Bytes are held in an exactly sized heap buffer, so a read past the end trips AddressSanitizer.
std::vector<uint8_t> Bytes(std::string_view hex) {
    return HexToBytes(RemoveBlanks(hex));
}

// Listing joins lines, each ended by CR LF.
std::string Listing(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (std::string_view line : lines) {
        out.append(line);
        out.append("\r\n");
    }
    return out;
}

std::vector<std::string> Explain(std::string_view tag, std::string_view value,
                                 const EmvContext& context = {}) {
    return ExplainEmvValue(Bytes(tag), Bytes(value), context);
}

}  // namespace

TEST(EmvTlvListing, CardResponsesByteForByte) {
    struct Case {
        const char* what;
        const char* data;
        std::string listing;
    };
    const Case cases[] = {
        {"SELECT PPSE",
         "6F30 840E325041592E5359532E4444463031 A51E BF0C1B 6119 4F08A000000333010102 "
         "500A50424F43204445424954 870101 9000",
         Listing({"[6F]\t30\t\t文件控制信息（FCI）模板",
                  "\t[[84]]\t0E\t325041592E5359532E4444463031\t专用文件（DF）名称",
                  "\t[[A5]]\t1E\t\t文件控制信息（FCI）专用模板",
                  "\t\t[[[BF0C]]]\t1B\t\t文件控制信息（FCI）发卡行自定义数据",
                  "\t\t\t[[[[61]]]]\t19\t\t应用模板（如果有PSE）",
                  "\t\t\t\t[[[[[4F]]]]]\t08\tA000000333010102\t应用标识符（AID）",
                  "\t\t\t\t[[[[[50]]]]]\t0A\t50424F43204445424954\t应用标签",
                  "\t\t\t\t\t· PBOC DEBIT", "\t\t\t\t[[[[[87]]]]]\t01\t01\t应用优先指示器",
                  "状态字\t9000\t命令成功执行"})},
        {"SELECT PSE, an application not found", "6A82",
         Listing({"状态字\t6A82\t未找到文件或应用"})},
        {"GET PROCESSING OPTIONS, format 1", "800E 7C00 08010100 10010400 18010201 9000",
         Listing({"[80]\t0E\t7C00080101001001040018010201\t响应报文模板格式1",
                  "\t· GET PROCESSING OPTIONS 响应格式 1：", "\t· AIP 7C00",
                  "\t·   字节1 b7：支持静态数据认证（SDA）",
                  "\t·   字节1 b6：支持动态数据认证（DDA）", "\t·   字节1 b5：支持持卡人验证",
                  "\t·   字节1 b4：需执行终端风险管理", "\t·   字节1 b3：支持发卡行认证",
                  "\t· AFL 080101001001040018010201",
                  "\t·   SFI 1：记录 1，其中 0 个用于脱机数据认证",
                  "\t·   SFI 2：记录 1 至 4，其中 0 个用于脱机数据认证",
                  "\t·   SFI 3：记录 1 至 2，其中 1 个用于脱机数据认证",
                  "状态字\t9000\t命令成功执行"})},
        {"GET PROCESSING OPTIONS, format 2", "7712 82027C00 940C080101001001040018010201 9000",
         Listing({"[77]\t12\t\t响应报文模板格式2", "\t[[82]]\t02\t7C00\t应用交互特征（AIP）",
                  "\t\t· 字节1 b7：支持静态数据认证（SDA）",
                  "\t\t· 字节1 b6：支持动态数据认证（DDA）", "\t\t· 字节1 b5：支持持卡人验证",
                  "\t\t· 字节1 b4：需执行终端风险管理", "\t\t· 字节1 b3：支持发卡行认证",
                  "\t[[94]]\t0C\t080101001001040018010201\t应用文件定位器",
                  "\t\t· SFI 1：记录 1，其中 0 个用于脱机数据认证",
                  "\t\t· SFI 2：记录 1 至 4，其中 0 个用于脱机数据认证",
                  "\t\t· SFI 3：记录 1 至 2，其中 1 个用于脱机数据认证",
                  "状态字\t9000\t命令成功执行"})},
        {"READ RECORD",
         "7046 5711 6212345678901232D24122011234567890 5F200A5A48414E472F53414E20 "
         "5F2403241231 5F2503190101 5F280201 56 9F42020156 8E0E 00000000 00002710 4203 1E03 1F00 "
         "9000",
         Listing({"[70]\t46\t\t读记录响应报文模板",
                  "\t[[57]]\t11\t6212345678901232D24122011234567890\t磁条2等效数据",
                  "\t\t· 主账号 6212345678901232（16 位，校验位正确）",
                  "\t\t· 失效日期 2024-12",
                  "\t\t· 服务码 201：国际卡，优先使用芯片；正常授权；无限制",
                  "\t\t· 自定义数据 1234567890",
                  "\t[[5F20]]\t0A\t5A48414E472F53414E20\t持卡人姓名",
                  "\t\t· ZHANG/SAN ",
                  "\t[[5F24]]\t03\t241231\t应用失效日期",
                  "\t\t· 2024-12-31",
                  "\t[[5F25]]\t03\t190101\t应用生效日期",
                  "\t\t· 2019-01-01",
                  "\t[[5F28]]\t02\t0156\t发卡行国家代码",
                  "\t\t· 156 CN 中国",
                  "\t[[9F42]]\t02\t0156\t应用货币代码（如果CVM中要求金额检查，需要此数据）",
                  "\t\t· 156 CNY 人民币，小数位数 2",
                  "\t[[8E]]\t0E\t000000000000271042031E031F00\t持卡人验证方法（CVM）列表",
                  "\t\t· 金额 X：0.00 CNY（人民币）",
                  "\t\t· 金额 Y：100.00 CNY（人民币）",
                  "\t\t· 规则 1：联机加密 PIN 验证；条件：终端支持该 CVM；失败则继续下一条规则",
                  "\t\t· 规则 2：签名（纸质）；条件：终端支持该 CVM；失败则持卡人验证失败",
                  "\t\t· 规则 3：无需 CVM；条件：总是；失败则持卡人验证失败",
                  "状态字\t9000\t命令成功执行"})},
        {"GENERATE AC, format 1", "8012 80 0001 1122334455667788 07010103A00000 9000",
         Listing({"[80]\t12\t8000011122334455667788070101"
                  "03A00000\t响应报文模板格式1",
                  "\t· GENERATE AC 响应格式 1：", "\t· 密文信息数据 80",
                  "\t·   密文类型：ARQC（请求联机）", "\t· 应用交易计数器 0001", "\t·   十进制 1",
                  "\t· 应用密文 1122334455667788", "\t· 发卡行应用数据 07010103A00000",
                  "状态字\t9000\t命令成功执行"})},
        {"GENERATE AC, format 2",
         "771E 9F270140 9F36020001 9F26081122334455667788 9F100707010103600000 9000",
         Listing({"[77]\t1E\t\t响应报文模板格式2", "\t[[9F27]]\t01\t40\t密文信息数据",
                  "\t\t· 密文类型：TC（批准）", "\t[[9F36]]\t02\t0001\t应用交易计数器",
                  "\t\t· 十进制 1", "\t[[9F26]]\t08\t1122334455667788\t应用密文（AC）",
                  "\t[[9F10]]\t07\t07010103600000\t发卡行应用数据", "状态字\t9000\t命令成功执行"})},
        {"field 55 of an authorisation request",
         "9F2608 1122334455667788 9F270180 9F3704 12345678 9505 0000048000 9A03 240229 9C0100 "
         "9F0206 000000012345 5F2A020156 82027C00 9F1A020156 9F3303E0F8C8 9F3403420300 9F350122 "
         "9F2103 134509",
         Listing({"[9F26]\t08\t1122334455667788\t应用密文（AC）",
                  "[9F27]\t01\t80\t密文信息数据",
                  "\t· 密文类型：ARQC（请求联机）",
                  "[9F37]\t04\t12345678\t不可预知数",
                  "[95]\t05\t0000048000\t终端验证结果（TVR）",
                  "\t· 字节3 b3：输入了联机 PIN",
                  "\t· 字节4 b8：交易超过最低限额",
                  "[9A]\t03\t240229\t交易日期",
                  "\t· 2024-02-29",
                  "[9C]\t01\t00\t交易类型",
                  "\t· 商品和服务（消费）",
                  "[9F02]\t06\t000000012345\t授权金额",
                  "\t· 123.45 CNY（人民币）",
                  "[5F2A]\t02\t0156\t交易货币代码",
                  "\t· 156 CNY 人民币，小数位数 2",
                  "[82]\t02\t7C00\t应用交互特征（AIP）",
                  "\t· 字节1 b7：支持静态数据认证（SDA）",
                  "\t· 字节1 b6：支持动态数据认证（DDA）",
                  "\t· 字节1 b5：支持持卡人验证",
                  "\t· 字节1 b4：需执行终端风险管理",
                  "\t· 字节1 b3：支持发卡行认证",
                  "[9F1A]\t02\t0156\t终端国家代码",
                  "\t· 156 CN 中国",
                  "[9F33]\t03\tE0F8C8\t终端性能",
                  "\t· 字节1 b8：卡数据输入：手工键盘输入",
                  "\t· 字节1 b7：卡数据输入：磁条",
                  "\t· 字节1 b6：卡数据输入：接触式 IC 卡",
                  "\t· 字节2 b8：CVM：IC 卡明文 PIN 验证",
                  "\t· 字节2 b7：CVM：联机加密 PIN 验证",
                  "\t· 字节2 b6：CVM：签名（纸质）",
                  "\t· 字节2 b5：CVM：IC 卡加密 PIN 验证",
                  "\t· 字节2 b4：CVM：无需 CVM",
                  "\t· 字节3 b8：安全：SDA",
                  "\t· 字节3 b7：安全：DDA",
                  "\t· 字节3 b4：安全：CDA",
                  "[9F34]\t03\t420300\t持卡人验证方法（CVM）结果",
                  "\t· 方法：联机加密 PIN 验证",
                  "\t· 条件：终端支持该 CVM",
                  "\t· 结果：未知",
                  "[9F35]\t01\t22\t终端类型",
                  "\t· 商户控制；有人值守，可脱机可联机",
                  "[9F21]\t03\t134509\t交易时间",
                  "\t· 13:45:09"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FormatEmvTlv(Bytes(c.data)), c.listing);
    }
}

// What the default listing gets wrong for card data, and the EMV listing must get right.
TEST(EmvTlvListing, NestsByTheConstructedBitOnly) {
    struct Case {
        const char* data;
        std::string listing;
    };
    const Case cases[] = {
        {"77 04 80 02 AA BB",
         Listing({"[77]\t04\t\t响应报文模板格式2", "\t[[80]]\t02\tAABB\t响应报文模板格式1"})},
        // The value of a primitive object is never read as objects, whatever it looks like.
        {"5A 04 9F 36 01 00",
         Listing({"[5A]\t04\t9F360100\t应用主账号（PAN）", "\t· 不是压缩数字格式的主账号"})},
        {"8D 0C 91 0A 8A 02 95 05 9F 37 04 9F 4C 08",
         Listing({"[8D]\t0C\t910A8A0295059F37049F4C08\t卡片风险管理数据对象列表2（CDOL2）",
                  "\t· 91（10 字节）发卡行认证数据", "\t· 8A（2 字节）授权响应码",
                  "\t· 95（5 字节）终端验证结果（TVR）", "\t· 9F37（4 字节）不可预知数",
                  "\t· 9F4C（8 字节）IC动态数", "\t· 共 5 项，数据合计 29 字节"})},
        // A constructed object with an empty value, and one of an unknown private class tag.
        {"A5 00 DF7F 01 00",
         Listing({"[A5]\t00\t\t文件控制信息（FCI）专用模板", "[DF7F]\t01\t00\t"})},
        // The length field as the data writes it; a three-byte tag of the contactless kernels.
        {"E1 81 06 DF8123 81 01 00",
         Listing({"[E1]\t8106\t\t", "\t[[DF8123]]\t8101\t00\t读卡器非接触脱机最低限额"})},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        EXPECT_EQ(FormatEmvTlv(Bytes(c.data)), c.listing);
    }
}

TEST(EmvTlvListing, PaddingAndStatusWords) {
    struct Case {
        const char* data;
        std::string listing;
    };
    const Case cases[] = {
        {"5A 01 12 00", Listing({"[5A]\t01\t12\t应用主账号（PAN）", "\t· 12（2 位，校验位错误）",
                                 "填充\t1 字节"})},
        {"00 00 FF 5F34 01 01 00 FF",
         Listing({"填充\t3 字节", "[5F34]\t01\t01\t应用主账号序列号", "填充\t2 字节"})},
        {"70 05 00 9F36 01 05 00",
         Listing({"[70]\t05\t\t读记录响应报文模板", "\t填充\t1 字节",
                  "\t[[9F36]]\t01\t05\t应用交易计数器", "\t\t· 十进制 5", "填充\t1 字节"})},
        {"5F34 01 01 00 00 90 00", Listing({"[5F34]\t01\t01\t应用主账号序列号", "填充\t2 字节",
                                            "状态字\t9000\t命令成功执行"})},
        {"9000", Listing({"状态字\t9000\t命令成功执行"})},
        {"611C", Listing({"状态字\t611C\t还有 28 字节响应数据可取（GET RESPONSE）"})},
        {"6C10", Listing({"状态字\t6C10\tLe 错误，正确的长度为 16 字节"})},
        {"63C2", Listing({"状态字\t63C2\t警告：校验失败，还可重试 2 次"})},
        {"6283", Listing({"状态字\t6283\t警告：所选文件已失效（应用已锁定）"})},
        {"6985", Listing({"状态字\t6985\t不满足使用条件"})},
        {"9401", Listing({"状态字\t9401\t金额不足"})},
        // Only the last two bytes of the data, not of a template, and only real status words.
        {"70 02 90 00",
         Listing({"[70]\t02\t\t读记录响应报文模板", "\t[[90]]\t00\t\t发卡行公钥证书"})},
        {"9001", Listing({"错误：偏移 0，标签 90 的长度超出数据末尾 1 字节", "未解析\t9001"})},
        {"9F36 02 0001 90", Listing({"[9F36]\t02\t0001\t应用交易计数器", "\t· 十进制 1",
                                     "错误：偏移 5，标签 90 的长度字段不完整", "未解析\t90"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        EXPECT_EQ(FormatEmvTlv(Bytes(c.data)), c.listing);
    }
}

TEST(EmvTlvListing, AFaultIsLocatedAndHidesNothingBeforeIt) {
    struct Case {
        const char* data;
        std::string listing;
    };
    const Case cases[] = {
        {"5F34 01 01 5A 08 62 12 34",
         Listing({"[5F34]\t01\t01\t应用主账号序列号",
                  "错误：偏移 4，标签 5A 的长度超出数据末尾 5 字节", "未解析\t5A08621234"})},
        {"5F34 01 01 9F", Listing({"[5F34]\t01\t01\t应用主账号序列号",
                                   "错误：偏移 4，数据在标签 9F 中途结束", "未解析\t9F"})},
        {"DF 81 82 83 04 01 00",
         Listing({"错误：偏移 0，标签 DF818283… 超过 4 字节", "未解析\tDF818283040100"})},
        {"5A", Listing({"错误：偏移 0，标签 5A 的长度字段不完整", "未解析\t5A"})},
        {"5A 82 01", Listing({"错误：偏移 0，标签 5A 的长度字段不完整", "未解析\t5A8201"})},
        {"5A 80 11 00", Listing({"错误：偏移 0，标签 5A 使用不定长格式（80），EMV 数据不用此格式",
                                 "未解析\t5A801100"})},
        {"5A 85 00 00 00 00 01 11",
         Listing({"错误：偏移 0，标签 5A 的长度格式 85 无定义", "未解析\t5A85000000000111"})},
        // Inside a template the fault ends the template only; what follows it is read again.
        {"70 06 5F34 01 01 5A 05 9F36 01 07",
         Listing({"[70]\t06\t\t读记录响应报文模板", "\t[[5F34]]\t01\t01\t应用主账号序列号",
                  "\t错误：偏移 6，标签 5A 的长度超出模板 70 末尾 5 字节", "\t未解析\t5A05",
                  "[9F36]\t01\t07\t应用交易计数器", "\t· 十进制 7"})},
        {"70 03 61 01 9F",
         Listing({"[70]\t03\t\t读记录响应报文模板", "\t[[61]]\t01\t\t应用模板（如果有PSE）",
                  "\t\t错误：偏移 4，模板 61 在标签 9F 中途结束", "\t\t未解析\t9F"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        EXPECT_EQ(FormatEmvTlv(Bytes(c.data)), c.listing);
    }
}

// Nesting deeper than any stack could recurse: the listing still accounts for every level.
TEST(EmvTlvListing, AnyDepthIsListed) {
    constexpr size_t kDepth = 100000;
    std::vector<uint8_t> data;
    data.reserve(5 * kDepth + 3);
    for (size_t level = 0; level < kDepth; ++level) {
        const size_t inner = 5 * (kDepth - 1 - level) + 3;
        data.insert(data.end(), {0x70, 0x83, static_cast<uint8_t>(inner >> 16),
                                 static_cast<uint8_t>(inner >> 8), static_cast<uint8_t>(inner)});
    }
    data.insert(data.end(), {0x9F, 0x36, 0x00});
    const std::string listing = FormatEmvTlv(data);
    const std::string deepest = std::string(kMaxShownDepth - 1, '\t') +
                                std::string(kMaxShownDepth, '[') + "9F36" +
                                std::string(kMaxShownDepth, ']') + "\t00\t\t应用交易计数器\r\n";
    ASSERT_GE(listing.size(), deepest.size());
    EXPECT_EQ(listing.substr(listing.size() - deepest.size()), deepest);
    size_t lines = 0;
    for (char ch : listing) {
        lines += ch == '\n' ? 1 : 0;
    }
    EXPECT_EQ(lines, kDepth + 1);
}

TEST(EmvValueDecoders, Dates) {
    struct Case {
        const char* tag;
        const char* value;
        const char* shown;
    };
    const Case cases[] = {
        {"5F24", "271231", "2027-12-31"},
        {"5F25", "491231", "2049-12-31"},  // YY below 50 is 20YY
        {"9A", "500101", "1950-01-01"},    // and from 50 on 19YY
        {"9A", "240229", "2024-02-29"},
        {"9A", "230229", "不是有效日期"},  // 2023 is no leap year
        {"9A", "000229", "2000-02-29"},    // 2000 is one
        {"5F24", "241131", "不是有效日期"},
        {"5F24", "241300", "不是有效日期"},
        {"5F24", "2412", "长度应为 3 字节，实为 2 字节"},
        {"5F24", "24123A", "不是 BCD 日期"},
        {"9F21", "235959", "23:59:59"},
        {"9F21", "240000", "不是有效时间"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tag) + " " + c.value);
        EXPECT_EQ(Explain(c.tag, c.value), std::vector<std::string>{c.shown});
    }
}

TEST(EmvValueDecoders, AmountsAndCodes) {
    EmvContext cny;
    cny.transaction_currency = 156;
    EmvContext jpy;
    jpy.transaction_currency = 392;
    EmvContext kwd_exponent_told;
    kwd_exponent_told.transaction_currency = 414;
    kwd_exponent_told.transaction_exponent = 2;  // 5F36 rules over ISO 4217
    EmvContext ec;
    ec.application_currency = 156;
    ec.application_exponent = 2;
    EmvContext second;
    second.second_currency = 840;
    struct Case {
        const char* tag;
        const char* value;
        EmvContext context;
        const char* shown;
    };
    const Case cases[] = {
        {"9F02", "000000012345", cny, "123.45 CNY（人民币）"},
        {"9F02", "000000000005", cny, "0.05 CNY（人民币）"},
        {"9F03", "000000000000", cny, "0.00 CNY（人民币）"},
        {"9F02", "000000012345", jpy, "12345 JPY（日元）"},
        {"9F02", "000000012345", kwd_exponent_told, "123.45 KWD（科威特第纳尔）"},
        {"9F02", "000000012345", {}, "12345（最小货币单位，币种未知）"},
        {"9F02", "00000001234F", cny, "不是 BCD 金额"},
        {"9F02", "0000012345", cny, "长度应为 6 字节，实为 5 字节"},
        {"9F79", "000000100000", ec, "1000.00 CNY（人民币）"},
        {"DF79", "000000001000", second, "10.00 USD（美元）"},
        {"5F2A", "0978", {}, "978 EUR 欧元，小数位数 2"},
        {"9F42", "0048", {}, "048 BHD 巴林第纳尔，小数位数 3"},
        {"9F51", "0999", {}, "999（未收录的货币代码）"},
        {"5F28", "0156", {}, "156 CN 中国"},
        {"9F1A", "0344", {}, "344 HK 中国香港"},
        {"9F57", "0840", {}, "840 US 美国"},
        {"9F1A", "01A6", {}, "不是 BCD 代码"},
        {"5F36", "02", {}, "小数位数 2"},
        {"9C", "00", {}, "商品和服务（消费）"},
        {"9C", "01", {}, "取现"},
        {"9C", "09", {}, "消费并返现"},
        {"9C", "20", {}, "退货"},
        {"9C", "31", {}, "查询余额"},
        {"8A", "5A33", {}, "Z3 无法联机，脱机拒绝"},
        {"5F30", "0201", {}, "服务码 201：国际卡，优先使用芯片；正常授权；无限制"},
        {"9F35", "14", {}, "金融机构控制；无人值守，仅联机"},
        {"9F17", "03", {}, "剩余 PIN 尝试次数 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tag) + " " + c.value);
        EXPECT_EQ(Explain(c.tag, c.value, c.context), std::vector<std::string>{c.shown});
    }
}

TEST(EmvValueDecoders, TextsPanAndTrack2) {
    EmvContext latin1;
    latin1.code_table = 0x01;
    struct Case {
        const char* tag;
        const char* value;
        EmvContext context;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"50", "50424F43204445424954", {}, {"PBOC DEBIT"}},
        {"9F12", "D6D0B9FAD2F8D0D0", {}, {"中国银行（GBK）"}},  // GB 2312 bytes of 中国银行
        {"9F12", "43414EC74D4F", latin1, {"CANÇMO"}},           // ISO/IEC 8859-1 C7 is Ç
        {"9F12", "41FF42", {}, {"A\\xFFB"}},                    // neither ASCII nor GBK
        {"5F2D", "7A68656E", {}, {"zh 中文", "en 英语"}},
        {"5A", "6212345678901232", {}, {"6212345678901232（16 位，校验位正确）"}},
        {"5A", "4111111111111111FFFF", {}, {"4111111111111111（16 位，校验位正确）"}},
        {"5A", "6212345678901234", {}, {"6212345678901234（16 位，校验位错误）"}},
        {"5A", "62123456789012F4", {}, {"不是压缩数字格式的主账号"}},
        {"57",
         "4111111111111111D2901501123F",  // an odd number of digits, padded with F
         {},
         {"主账号 4111111111111111（16 位，校验位正确）", "失效日期 2029-01",
          "服务码 501：国内卡；正常授权；无限制", "自定义数据 123"}},
        {"57",
         "4111111111111111D2901",
         {},
         {"不是磁条2等效数据格式（主账号 D 有效期 服务码 自定义数据）"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tag) + " " + c.value);
        EXPECT_EQ(Explain(c.tag, c.value, c.context), c.shown);
    }
}

TEST(EmvValueDecoders, DolsAndAfl) {
    struct Case {
        const char* tag;
        const char* value;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"9F38",
         "9F66049F02069F03069F1A0295055F2A029A039C019F3704",
         {"9F66（4 字节）终端交易属性", "9F02（6 字节）授权金额", "9F03（6 字节）其他金额",
          "9F1A（2 字节）终端国家代码", "95（5 字节）终端验证结果（TVR）",
          "5F2A（2 字节）交易货币代码", "9A（3 字节）交易日期", "9C（1 字节）交易类型",
          "9F37（4 字节）不可预知数", "共 9 项，数据合计 33 字节"}},
        {"97", "", {}},  // an empty value has nothing to explain
        {"9F12", "", {}},
        {"9F49", "9F3704DF81", {"9F37（4 字节）不可预知数", "偏移 3 处的条目无法读出：DF81"}},
        {"8C", "9F0206 9F", {"9F02（6 字节）授权金额", "偏移 3 处的条目无法读出：9F"}},
        {"94",
         "08010200 10030300",
         {"SFI 1：记录 1 至 2，其中 0 个用于脱机数据认证",
          "SFI 2：记录 3，其中 0 个用于脱机数据认证"}},
        {"94", "08020102", {"SFI 1：记录 2 至 1，其中 2 个用于脱机数据认证（条目无效）"}},
        {"94", "080101", {"长度应为 4 的倍数，实为 3 字节"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tag) + " " + c.value);
        EXPECT_EQ(Explain(c.tag, c.value), c.shown);
    }
}

TEST(EmvValueDecoders, BitFields) {
    struct Case {
        const char* tag;
        const char* value;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"82",
         "1980",
         {"字节1 b5：支持持卡人验证", "字节1 b4：需执行终端风险管理",
          "字节1 b1：支持复合动态数据认证（CDA）", "字节2 b8：保留给非接触规范使用"}},
        {"82", "0040", {"字节2 b7：保留位（RFU）"}},
        {"82", "0000", {"未置任何位"}},
        {"82", "7C", {"长度应为 2 字节，实为 1 字节"}},
        {"9F07",
         "FFC0",
         {"字节1 b8：国内现金交易有效", "字节1 b7：国际现金交易有效", "字节1 b6：国内商品交易有效",
          "字节1 b5：国际商品交易有效", "字节1 b4：国内服务交易有效", "字节1 b3：国际服务交易有效",
          "字节1 b2：ATM 上有效", "字节1 b1：ATM 以外的终端上有效", "字节2 b8：允许国内返现",
          "字节2 b7：允许国际返现"}},
        {"95", "8000000000", {"字节1 b8：未执行脱机数据认证"}},
        {"95",
         "0040008004",
         {"字节2 b7：应用已失效", "字节4 b8：交易超过最低限额", "字节5 b3：保留给非接触规范使用"}},
        {"9F0E", "0010000000", {"字节2 b5：卡片产品不允许所请求的服务"}},
        {"9F0D", "0000000840", {"字节4 b4：商户要求联机处理", "字节5 b7：发卡行认证失败"}},
        {"9B",
         "E800",
         {"字节1 b8：已执行脱机数据认证", "字节1 b7：已执行持卡人验证",
          "字节1 b6：已执行卡片风险管理", "字节1 b4：已执行终端风险管理"}},
        {"9F34", "1F0002", {"方法：无需 CVM", "条件：总是", "结果：成功"}},
        {"9F34", "3F0000", {"方法：未执行 CVM", "条件：总是", "结果：未知"}},
        {"9F34",
         "410601",
         {"方法：IC 卡明文 PIN 验证", "条件：应用货币交易且金额小于 X", "结果：失败"}},
        {"9F34", "200000", {"方法：出示持卡人证件（PBOC）", "条件：总是", "结果：未知"}},
        {"8E",
         "000003E8000000005E0844060A9F",
         {"金额 X：1000（最小货币单位，币种未知）", "金额 Y：0（最小货币单位，币种未知）",
          "规则 1：签名（纸质）；条件：应用货币交易且金额小于 Y；失败则继续下一条规则",
          "规则 2：IC 卡加密 PIN 验证；条件：应用货币交易且金额小于 X；失败则继续下一条规则",
          "规则 3：保留方法 0A；条件：支付系统自定义条件 9F；失败则持卡人验证失败"}},
        {"8E", "00000000000000", {"长度应为 8 加 2 的倍数，实为 7 字节"}},
        {"9F40",
         "6000F0A001",
         {"字节1 b7：交易类型：商品", "字节1 b6：交易类型：服务", "字节3 b8：输入：数字键",
          "字节3 b7：输入：字母和特殊字符键", "字节3 b6：输入：命令键", "字节3 b5：输入：功能键",
          "字节4 b8：输出：打印（操作员）", "字节4 b6：输出：显示（操作员）",
          "字节5 b1：输出：代码表 1"}},
        {"9F66",
         "26000080",
         {"字节1 b6：支持 EMV 模式（qPBOC）", "字节1 b3：支持联机 PIN", "字节1 b2：支持签名",
          "字节4 b8：保留位（RFU）"}},
        {"9F6C", "8080", {"字节1 b8：要求联机 PIN", "字节2 b8：已执行移动设备 CVM"}},
        {"9F27", "00", {"密文类型：AAC（拒绝）"}},
        {"9F27", "4A", {"密文类型：TC（批准）", "需要通知（advice）", "原因：超过 PIN 尝试次数"}},
        {"9F27", "C3", {"密文类型：保留（RFU）", "原因：发卡行认证失败"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tag) + " " + c.value);
        EXPECT_EQ(Explain(c.tag, c.value), c.shown);
    }
}

TEST(EmvTags, TellEachTagApart) {
    std::set<std::string_view> tags;
    for (const EmvTagEntry& entry : EmvTagTable()) {
        EXPECT_TRUE(tags.insert(entry.tag).second) << entry.tag;
        // Each tag is one whole tag by the reading rules, and found by its bytes. The object 5A 00
        // after it keeps an empty tag such as 90 00 from being a status word.
        const std::vector<uint8_t> bytes = Bytes(std::string(entry.tag) + "00 5A00");
        const std::vector<EmvTlvEntry> read = ReadEmvTlv(bytes);
        ASSERT_EQ(read.size(), 2u) << entry.tag;
        EXPECT_EQ(BytesToHex(read[0].tag), entry.tag);
        EXPECT_EQ(read[0].constructed, entry.format == TagFormat::Template) << entry.tag;
        EXPECT_EQ(FindEmvTag(read[0].tag), &entry);
    }
    for (const char* tag : {"70",   "95",   "9A",   "9C",   "5F2A", "9F02", "9F03", "9F1A", "9F21",
                            "9F33", "9F34", "9F35", "9F37", "9F41", "9F4D", "9F4F", "9F5D", "9F63",
                            "9F66", "9F6C", "9F74", "9F79", "DF4D", "DF4F", "DF60", "DF79"}) {
        EXPECT_NE(FindEmvTag(Bytes(tag)), nullptr) << tag;
    }
    EXPECT_EQ(FindEmvTag(Bytes("9F7F00")), nullptr);
}

TEST(EmvTlvPage, TheModeGroupChoosesTheListing) {
    CTlvPage page;
    const OptionGroup* mode = page.FindOption("mode");
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->caption, "解析方式");
    ASSERT_EQ(mode->choices.size(), 2u);
    EXPECT_EQ(mode->choices[0].name, "data");
    EXPECT_EQ(mode->choices[0].caption, "按数据嵌套");
    EXPECT_EQ(mode->choices[1].name, "emv");
    EXPECT_EQ(mode->choices[1].caption, "EMV 标准解析");
    EXPECT_EQ(mode->selected, 0);

    page.Type("data", "77 04 80 02 AA BB 90 00");
    EXPECT_EQ(page.Press("parse"), std::nullopt);
    // By the data, 80 starts no object and 90 00 is an empty object.
    EXPECT_EQ(page.FindField("result")->text,
              Listing({"[77]\t04\t8002AABB\t响应报文模板格式2", "[90]\t00\t\t发卡行公钥证书"}));
    page.Choose("mode", 1);
    EXPECT_EQ(page.Press("parse"), std::nullopt);
    EXPECT_EQ(page.FindField("result")->text,
              Listing({"[77]\t04\t\t响应报文模板格式2", "\t[[80]]\t02\tAABB\t响应报文模板格式1",
                       "状态字\t9000\t命令成功执行"}));
    EXPECT_EQ(page.WrittenFields(), std::vector<std::string>{"result"});
    page.Choose("mode", 0);
    page.Type("data", "6F 03 50 01 4B");
    EXPECT_EQ(page.Press("parse"), std::nullopt);
    EXPECT_EQ(page.FindField("result")->text,
              "[6F]\t03\t50014B\t文件控制信息（FCI）模板\r\n\t[[50]]\t01\t4B\t应用标签\r\n");
}
