#include "tlv/emv_value_decoders.h"

#include <array>
#include <string_view>

#include "common/gbk_text.h"
#include "common/hex_codec.h"
#include "tlv/emv_tags.h"
#include "tlv/iso_codes.h"

namespace {

using Lines = std::vector<std::string>;
using Bytes = std::span<const uint8_t>;

// A named bit of a bit field: byte 1 is the first byte of the value, bit 8 its most significant.
struct BitName {
    uint8_t byte;
    uint8_t bit;
    std::string_view name;
};

// EMV Book 3 C1.
constexpr BitName kAipBits[] = {
    {1, 7, "支持静态数据认证（SDA）"},
    {1, 6, "支持动态数据认证（DDA）"},
    {1, 5, "支持持卡人验证"},
    {1, 4, "需执行终端风险管理"},
    {1, 3, "支持发卡行认证"},
    {1, 2, "支持设备持卡人验证（非接触）"},
    {1, 1, "支持复合动态数据认证（CDA）"},
    {2, 8, "保留给非接触规范使用"},
};

// EMV Book 3 C2.
constexpr BitName kAucBits[] = {
    {1, 8, "国内现金交易有效"}, {1, 7, "国际现金交易有效"},     {1, 6, "国内商品交易有效"},
    {1, 5, "国际商品交易有效"}, {1, 4, "国内服务交易有效"},     {1, 3, "国际服务交易有效"},
    {1, 2, "ATM 上有效"},       {1, 1, "ATM 以外的终端上有效"}, {2, 8, "允许国内返现"},
    {2, 7, "允许国际返现"},
};

// EMV Book 3 C5; the IACs and TACs use the same bits.
constexpr BitName kTvrBits[] = {
    {1, 8, "未执行脱机数据认证"},
    {1, 7, "SDA 失败"},
    {1, 6, "IC 卡数据缺失"},
    {1, 5, "卡片在终端异常文件中"},
    {1, 4, "DDA 失败"},
    {1, 3, "CDA 失败"},
    {1, 2, "选择了 SDA"},
    {2, 8, "IC 卡与终端的应用版本不同"},
    {2, 7, "应用已失效"},
    {2, 6, "应用尚未生效"},
    {2, 5, "卡片产品不允许所请求的服务"},
    {2, 4, "新卡"},
    {3, 8, "持卡人验证未成功"},
    {3, 7, "未知的 CVM"},
    {3, 6, "超过 PIN 尝试次数"},
    {3, 5, "要求输入 PIN，但密码键盘不存在或不工作"},
    {3, 4, "要求输入 PIN，密码键盘存在，但未输入 PIN"},
    {3, 3, "输入了联机 PIN"},
    {4, 8, "交易超过最低限额"},
    {4, 7, "超过连续脱机交易下限"},
    {4, 6, "超过连续脱机交易上限"},
    {4, 5, "交易被随机选择联机处理"},
    {4, 4, "商户要求联机处理"},
    {5, 8, "使用了缺省 TDOL"},
    {5, 7, "发卡行认证失败"},
    {5, 6, "最后一次 GENERATE AC 之前脚本处理失败"},
    {5, 5, "最后一次 GENERATE AC 之后脚本处理失败"},
    {5, 4, "保留给非接触规范使用"},
    {5, 3, "保留给非接触规范使用"},
    {5, 2, "保留给非接触规范使用"},
    {5, 1, "保留给非接触规范使用"},
};

// EMV Book 3 C6.
constexpr BitName kTsiBits[] = {
    {1, 8, "已执行脱机数据认证"}, {1, 7, "已执行持卡人验证"},   {1, 6, "已执行卡片风险管理"},
    {1, 5, "已执行发卡行认证"},   {1, 4, "已执行终端风险管理"}, {1, 3, "已执行发卡行脚本处理"},
};

// EMV Book 4 A2.
constexpr BitName kTerminalCapabilityBits[] = {
    {1, 8, "卡数据输入：手工键盘输入"},
    {1, 7, "卡数据输入：磁条"},
    {1, 6, "卡数据输入：接触式 IC 卡"},
    {2, 8, "CVM：IC 卡明文 PIN 验证"},
    {2, 7, "CVM：联机加密 PIN 验证"},
    {2, 6, "CVM：签名（纸质）"},
    {2, 5, "CVM：IC 卡加密 PIN 验证"},
    {2, 4, "CVM：无需 CVM"},
    {3, 8, "安全：SDA"},
    {3, 7, "安全：DDA"},
    {3, 6, "安全：吞卡"},
    {3, 4, "安全：CDA"},
};

// EMV Book 4 A3.
constexpr BitName kAdditionalCapabilityBits[] = {
    {1, 8, "交易类型：现金"},         {1, 7, "交易类型：商品"},
    {1, 6, "交易类型：服务"},         {1, 5, "交易类型：返现"},
    {1, 4, "交易类型：查询"},         {1, 3, "交易类型：转账"},
    {1, 2, "交易类型：付款"},         {1, 1, "交易类型：管理"},
    {2, 8, "交易类型：现金存款"},     {3, 8, "输入：数字键"},
    {3, 7, "输入：字母和特殊字符键"}, {3, 6, "输入：命令键"},
    {3, 5, "输入：功能键"},           {4, 8, "输出：打印（操作员）"},
    {4, 7, "输出：打印（持卡人）"},   {4, 6, "输出：显示（操作员）"},
    {4, 5, "输出：显示（持卡人）"},   {4, 2, "输出：代码表 10"},
    {4, 1, "输出：代码表 9"},         {5, 8, "输出：代码表 8"},
    {5, 7, "输出：代码表 7"},         {5, 6, "输出：代码表 6"},
    {5, 5, "输出：代码表 5"},         {5, 4, "输出：代码表 4"},
    {5, 3, "输出：代码表 3"},         {5, 2, "输出：代码表 2"},
    {5, 1, "输出：代码表 1"},
};

// EMV Book C-3 (and PBOC qPBOC) Terminal Transaction Qualifiers.
constexpr BitName kTtqBits[] = {
    {1, 8, "支持磁条模式（MSD）"},
    {1, 7, "支持完整非接触流程"},
    {1, 6, "支持 EMV 模式（qPBOC）"},
    {1, 5, "支持接触式 EMV"},
    {1, 4, "仅脱机终端"},
    {1, 3, "支持联机 PIN"},
    {1, 2, "支持签名"},
    {1, 1, "联机授权也支持脱机数据认证"},
    {2, 8, "要求联机密文"},
    {2, 7, "要求 CVM"},
    {2, 6, "支持（接触式）脱机 PIN"},
    {3, 8, "支持发卡行更新处理"},
    {3, 7, "支持移动设备 CVM"},
};

// EMV Book C-3 (and PBOC qPBOC) Card Transaction Qualifiers.
constexpr BitName kCtqBits[] = {
    {1, 8, "要求联机 PIN"},
    {1, 7, "要求签名"},
    {1, 6, "脱机数据认证失败且终端能联机时转联机"},
    {1, 5, "脱机数据认证失败且终端支持接触时转接触界面"},
    {1, 4, "应用已失效时转联机"},
    {1, 3, "现金交易转接触界面"},
    {1, 2, "返现交易转接触界面"},
    {2, 8, "已执行移动设备 CVM"},
    {2, 7, "卡片支持销售点发卡行更新处理"},
};

// ApplicationCurrency: amounts in the application currency name 9F42, or 9F51 without it.
std::optional<uint16_t> ApplicationCurrency(const EmvContext& context) {
    return context.application_currency ? context.application_currency : context.check_currency;
}

std::string SizeMismatch(size_t expected, size_t actual) {
    return "长度应为 " + std::to_string(expected) + " 字节，实为 " + std::to_string(actual) +
           " 字节";
}

// ExplainBits names every set bit; a set bit that no table names is a reserved bit.
Lines ExplainBits(Bytes value, std::span<const BitName> names, size_t size) {
    if (value.size() != size) {
        return {SizeMismatch(size, value.size())};
    }
    Lines lines;
    for (size_t i = 0; i < value.size(); ++i) {
        for (int bit = 8; bit >= 1; --bit) {
            if ((value[i] >> (bit - 1) & 1) == 0) {
                continue;
            }
            std::string_view name = "保留位（RFU）";
            for (const BitName& entry : names) {
                if (entry.byte == i + 1 && entry.bit == bit) {
                    name = entry.name;
                }
            }
            lines.push_back("字节" + std::to_string(i + 1) + " b" + std::to_string(bit) + "：" +
                            std::string(name));
        }
    }
    if (lines.empty()) {
        lines.push_back("未置任何位");
    }
    return lines;
}

// BcdDigits gives the digits of packed BCD, or nothing when a nibble is not a decimal digit.
std::optional<std::string> BcdDigits(Bytes value) {
    std::string digits;
    digits.reserve(2 * value.size());
    for (uint8_t byte : value) {
        for (uint8_t nibble :
             {static_cast<uint8_t>(byte >> 4), static_cast<uint8_t>(byte & 0x0F)}) {
            if (nibble > 9) {
                return std::nullopt;
            }
            digits.push_back(static_cast<char>('0' + nibble));
        }
    }
    return digits;
}

// CompressedDigits gives the digits of cn data (EMV Book 3 4.3: BCD padded at the right with F),
// or nothing when a nibble other than trailing F is not a decimal digit.
std::optional<std::string> CompressedDigits(Bytes value) {
    std::string digits;
    bool padding = false;
    for (uint8_t byte : value) {
        for (uint8_t nibble :
             {static_cast<uint8_t>(byte >> 4), static_cast<uint8_t>(byte & 0x0F)}) {
            if (nibble == 0x0F) {
                padding = true;
            } else if (nibble > 9 || padding) {
                return std::nullopt;
            } else {
                digits.push_back(static_cast<char>('0' + nibble));
            }
        }
    }
    return digits;
}

std::optional<uint16_t> NumericCode(Bytes value) {
    if (value.size() != 2) {
        return std::nullopt;
    }
    const std::optional<std::string> digits = BcdDigits(value);
    if (!digits) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(std::stoi(*digits));
}

std::optional<int> SingleDigit(Bytes value) {
    if (value.size() != 1 || value[0] > 9) {
        return std::nullopt;
    }
    return value[0];
}

std::string ThreeDigits(uint16_t code) {
    std::string text = std::to_string(code);
    return std::string(text.size() < 3 ? 3 - text.size() : 0, '0') + text;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// FullYear: EMV Book 4 date management reads YY 00..49 as 2000..2049 and 50..99 as 1950..1999.
int FullYear(int yy) {
    return yy < 50 ? 2000 + yy : 1900 + yy;
}

std::string Two(int n) {
    return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10);
}

Lines ExplainDate(Bytes value) {
    if (value.size() != 3) {
        return {SizeMismatch(3, value.size())};
    }
    const std::optional<std::string> digits = BcdDigits(value);
    if (!digits) {
        return {"不是 BCD 日期"};
    }
    const int year = FullYear(std::stoi(digits->substr(0, 2)));
    const int month = std::stoi(digits->substr(2, 2));
    const int day = std::stoi(digits->substr(4, 2));
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        return {"不是有效日期"};
    }
    return {std::to_string(year) + "-" + Two(month) + "-" + Two(day)};
}

Lines ExplainTime(Bytes value) {
    if (value.size() != 3) {
        return {SizeMismatch(3, value.size())};
    }
    const std::optional<std::string> digits = BcdDigits(value);
    if (!digits || std::stoi(digits->substr(0, 2)) > 23 || std::stoi(digits->substr(2, 2)) > 59 ||
        std::stoi(digits->substr(4, 2)) > 59) {
        return {"不是有效时间"};
    }
    return {digits->substr(0, 2) + ":" + digits->substr(2, 2) + ":" + digits->substr(4, 2)};
}

// AmountText places the decimal point of an amount in minor units by the exponent and names the
// currency; without an exponent the amount stays in minor units.
std::string AmountText(std::string digits, std::optional<int> exponent,
                       std::optional<uint16_t> currency) {
    const size_t first = digits.find_first_not_of('0');
    digits = first == std::string::npos ? "0" : digits.substr(first);
    const CurrencyEntry* entry = currency ? FindCurrency(*currency) : nullptr;
    if (!exponent && entry != nullptr) {
        exponent = entry->exponent;
    }
    if (!exponent) {
        return digits + "（最小货币单位，币种未知）";
    }
    const size_t e = static_cast<size_t>(*exponent);
    if (e > 0) {
        if (digits.size() <= e) {
            digits.insert(0, e + 1 - digits.size(), '0');
        }
        digits.insert(digits.size() - e, 1, '.');
    }
    if (entry != nullptr) {
        return digits + " " + std::string(entry->letters) + "（" + std::string(entry->name) + "）";
    }
    if (currency) {
        return digits + "（货币 " + ThreeDigits(*currency) + "）";
    }
    return digits;
}

Lines ExplainAmount(Bytes value, std::optional<int> exponent, std::optional<uint16_t> currency) {
    if (value.size() != 6) {
        return {SizeMismatch(6, value.size())};
    }
    const std::optional<std::string> digits = BcdDigits(value);
    if (!digits) {
        return {"不是 BCD 金额"};
    }
    return {AmountText(*digits, exponent, currency)};
}

std::optional<uint64_t> BinaryNumber(Bytes value) {
    if (value.empty() || value.size() > 8) {
        return std::nullopt;
    }
    uint64_t number = 0;
    for (uint8_t byte : value) {
        number = number << 8 | byte;
    }
    return number;
}

Lines ExplainCurrency(Bytes value) {
    const std::optional<uint16_t> code = NumericCode(value);
    if (!code) {
        return {value.size() == 2 ? "不是 BCD 代码" : SizeMismatch(2, value.size())};
    }
    const CurrencyEntry* entry = FindCurrency(*code);
    if (entry == nullptr) {
        return {ThreeDigits(*code) + "（未收录的货币代码）"};
    }
    return {ThreeDigits(*code) + " " + std::string(entry->letters) + " " +
            std::string(entry->name) + "，小数位数 " + std::to_string(entry->exponent)};
}

Lines ExplainCountry(Bytes value) {
    const std::optional<uint16_t> code = NumericCode(value);
    if (!code) {
        return {value.size() == 2 ? "不是 BCD 代码" : SizeMismatch(2, value.size())};
    }
    const CountryEntry* entry = FindCountry(*code);
    if (entry == nullptr) {
        return {ThreeDigits(*code) + "（未收录的国家代码）"};
    }
    return {ThreeDigits(*code) + " " + std::string(entry->letters) + " " +
            std::string(entry->name)};
}

Lines ExplainExponent(Bytes value) {
    const std::optional<int> digit = SingleDigit(value);
    if (!digit) {
        return {"不是一位 BCD 数字"};
    }
    return {"小数位数 " + std::to_string(*digit)};
}

// ISO 8583 processing codes, as EMV Book 3 Annex A uses them for 9C.
Lines ExplainTransactionType(Bytes value) {
    if (value.size() != 1) {
        return {SizeMismatch(1, value.size())};
    }
    switch (value[0]) {
        case 0x00:
            return {"商品和服务（消费）"};
        case 0x01:
            return {"取现"};
        case 0x09:
            return {"消费并返现"};
        case 0x20:
            return {"退货"};
        case 0x30:
            return {"查询可用余额"};
        case 0x31:
            return {"查询余额"};
        case 0x40:
            return {"转账"};
        default:
            return {"未收录的交易类型"};
    }
}

// TextOf shows text bytes as characters: printable ASCII as it is; otherwise ISO/IEC 8859-1 when
// `latin1`, else GBK when the bytes decode as GBK; anything else escaped as \xNN.
std::string TextOf(Bytes value, bool latin1) {
    bool ascii = true;
    for (uint8_t byte : value) {
        ascii = ascii && byte >= 0x20 && byte < 0x7F;
    }
    if (ascii) {
        return std::string(value.begin(), value.end());
    }
    if (!latin1) {
        const std::string decoded = DecodeGbk(value);
        bool clean = decoded.find("\xEF\xBF\xBD") == std::string::npos;
        for (char ch : decoded) {
            clean = clean && static_cast<unsigned char>(ch) >= 0x20 && ch != 0x7F;
        }
        if (clean) {
            return decoded + "（GBK）";
        }
    }
    std::string text;
    for (uint8_t byte : value) {
        if (byte >= 0x20 && byte < 0x7F) {
            text.push_back(static_cast<char>(byte));
        } else if (latin1 && byte >= 0xA0) {
            text.push_back(static_cast<char>(0xC0 | byte >> 6));
            text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        } else {
            text += "\\x";
            AppendHex(text, Bytes(&byte, 1));
        }
    }
    return text;
}

// ISO 639-1 codes that language preferences commonly carry.
std::string_view LanguageName(std::string_view code) {
    constexpr std::pair<std::string_view, std::string_view> kLanguages[] = {
        {"zh", "中文"},     {"en", "英语"},     {"fr", "法语"},     {"de", "德语"},
        {"es", "西班牙语"}, {"it", "意大利语"}, {"pt", "葡萄牙语"}, {"ru", "俄语"},
        {"ja", "日语"},     {"ko", "韩语"},     {"ar", "阿拉伯语"}, {"nl", "荷兰语"},
    };
    for (const auto& [letters, name] : kLanguages) {
        if (letters == code) {
            return name;
        }
    }
    return "";
}

Lines ExplainLanguages(Bytes value) {
    const std::string text = TextOf(value, false);
    if (value.size() % 2 != 0 || text.size() != value.size()) {
        return {text};
    }
    Lines lines;
    for (size_t i = 0; i < text.size(); i += 2) {
        const std::string code = text.substr(i, 2);
        const std::string_view name = LanguageName(code);
        lines.push_back(name.empty() ? code : code + " " + std::string(name));
    }
    return lines;
}

// LuhnValid checks the last digit of a PAN by ISO/IEC 7812-1 Annex B.
bool LuhnValid(std::string_view digits) {
    int sum = 0;
    bool twice = false;
    for (size_t i = digits.size(); i > 0; --i) {
        int d = digits[i - 1] - '0';
        if (twice) {
            d = d * 2 > 9 ? d * 2 - 9 : d * 2;
        }
        sum += d;
        twice = !twice;
    }
    return sum % 10 == 0;
}

std::string PanText(const std::string& digits) {
    return digits + "（" + std::to_string(digits.size()) + " 位，校验位" +
           (LuhnValid(digits) ? "正确" : "错误") + "）";
}

Lines ExplainPan(Bytes value) {
    const std::optional<std::string> digits = CompressedDigits(value);
    if (!digits || digits->empty()) {
        return {"不是压缩数字格式的主账号"};
    }
    return {PanText(*digits)};
}

// ISO/IEC 7813 service code, one meaning per digit.
Lines ExplainServiceCode(std::string_view code) {
    if (code.size() != 3) {
        return {"服务码应为 3 位"};
    }
    std::string first;
    switch (code[0]) {
        case '1':
            first = "国际卡";
            break;
        case '2':
            first = "国际卡，优先使用芯片";
            break;
        case '5':
            first = "国内卡";
            break;
        case '6':
            first = "国内卡，优先使用芯片";
            break;
        case '7':
            first = "私有卡";
            break;
        case '9':
            first = "测试卡";
            break;
        default:
            first = "保留";
    }
    std::string second;
    switch (code[1]) {
        case '0':
            second = "正常授权";
            break;
        case '2':
            second = "须联机向发卡行授权";
            break;
        case '4':
            second = "须联机向发卡行授权（另有双边协议的除外）";
            break;
        default:
            second = "保留";
    }
    std::string third;
    switch (code[2]) {
        case '0':
            third = "无限制，须输入 PIN";
            break;
        case '1':
            third = "无限制";
            break;
        case '2':
            third = "仅限商品和服务";
            break;
        case '3':
            third = "仅限 ATM，须输入 PIN";
            break;
        case '4':
            third = "仅限现金";
            break;
        case '5':
            third = "仅限商品和服务，须输入 PIN";
            break;
        case '6':
            third = "无限制，尽可能输入 PIN";
            break;
        case '7':
            third = "仅限商品和服务，尽可能输入 PIN";
            break;
        default:
            third = "保留";
    }
    return {"服务码 " + std::string(code) + "：" + first + "；" + second + "；" + third};
}

// Track 2 Equivalent Data (EMV Book 3 Annex A): PAN, separator D, YYMM, service code,
// discretionary data, padded with F to whole bytes.
Lines ExplainTrack2(Bytes value) {
    std::string nibbles;
    AppendHex(nibbles, value);
    while (!nibbles.empty() && nibbles.back() == 'F') {
        nibbles.pop_back();
    }
    const size_t separator = nibbles.find('D');
    if (separator == std::string::npos || separator == 0 ||
        nibbles.find_first_not_of("0123456789D") != std::string::npos ||
        nibbles.find('D', separator + 1) != std::string::npos ||
        nibbles.size() < separator + 1 + 7) {
        return {"不是磁条2等效数据格式（主账号 D 有效期 服务码 自定义数据）"};
    }
    const std::string pan = nibbles.substr(0, separator);
    const int yy = std::stoi(nibbles.substr(separator + 1, 2));
    const int mm = std::stoi(nibbles.substr(separator + 3, 2));
    Lines lines{"主账号 " + PanText(pan)};
    lines.push_back("失效日期 " + (mm >= 1 && mm <= 12
                                       ? std::to_string(FullYear(yy)) + "-" + Two(mm)
                                       : nibbles.substr(separator + 1, 4) + "（月份无效）"));
    const Lines service = ExplainServiceCode(nibbles.substr(separator + 5, 3));
    lines.insert(lines.end(), service.begin(), service.end());
    if (nibbles.size() > separator + 8) {
        lines.push_back("自定义数据 " + nibbles.substr(separator + 8));
    }
    return lines;
}

Lines ExplainServiceCodeValue(Bytes value) {
    if (value.size() != 2) {
        return {SizeMismatch(2, value.size())};
    }
    const std::optional<std::string> digits = BcdDigits(value);
    if (!digits || (*digits)[0] != '0') {
        return {"不是 BCD 服务码"};
    }
    return ExplainServiceCode(std::string_view(*digits).substr(1));
}

// A DOL (EMV Book 3 5.4): tags and one-byte lengths, no values.
Lines ExplainDol(Bytes value) {
    Lines lines;
    size_t total = 0;
    size_t i = 0;
    while (i < value.size()) {
        size_t tag_size = 1;
        bool complete = true;
        if ((value[i] & 0x1F) == 0x1F) {
            do {
                if (i + tag_size == value.size() || tag_size == 4) {
                    complete = false;
                    break;
                }
                ++tag_size;
            } while ((value[i + tag_size - 1] & 0x80) != 0);
        }
        if (!complete || i + tag_size == value.size()) {
            lines.push_back("偏移 " + std::to_string(i) + " 处的条目无法读出：" +
                            BytesToHex(value.subspan(i)));
            return lines;
        }
        const Bytes tag = value.subspan(i, tag_size);
        const size_t length = value[i + tag_size];
        const EmvTagEntry* entry = FindEmvTag(tag);
        lines.push_back(BytesToHex(tag) + "（" + std::to_string(length) + " 字节）" +
                        (entry != nullptr ? std::string(entry->name) : std::string()));
        total += length;
        i += tag_size + 1;
    }
    lines.push_back("共 " + std::to_string(lines.size()) + " 项，数据合计 " +
                    std::to_string(total) + " 字节");
    return lines;
}

bool AflEntryValid(Bytes entry) {
    const int sfi = entry[0] >> 3;
    return (entry[0] & 0x07) == 0 && sfi >= 1 && sfi <= 30 && entry[1] >= 1 &&
           entry[2] >= entry[1] && entry[3] <= entry[2] - entry[1] + 1;
}

// The AFL (EMV Book 3 10.2): four bytes per entry.
Lines ExplainAfl(Bytes value) {
    if (value.empty() || value.size() % 4 != 0) {
        return {"长度应为 4 的倍数，实为 " + std::to_string(value.size()) + " 字节"};
    }
    Lines lines;
    for (size_t i = 0; i < value.size(); i += 4) {
        const Bytes entry = value.subspan(i, 4);
        std::string line =
            "SFI " + std::to_string(entry[0] >> 3) + "：记录 " + std::to_string(entry[1]);
        if (entry[2] != entry[1]) {
            line += " 至 " + std::to_string(entry[2]);
        }
        line += "，其中 " + std::to_string(entry[3]) + " 个用于脱机数据认证";
        if (!AflEntryValid(entry)) {
            line += "（条目无效）";
        }
        lines.push_back(line);
    }
    return lines;
}

std::string CvmMethod(uint8_t code) {
    const uint8_t method = code & 0x3F;
    switch (method) {
        case 0x00:
            return "CVM 失败处理";
        case 0x01:
            return "IC 卡明文 PIN 验证";
        case 0x02:
            return "联机加密 PIN 验证";
        case 0x03:
            return "IC 卡明文 PIN 验证并签名";
        case 0x04:
            return "IC 卡加密 PIN 验证";
        case 0x05:
            return "IC 卡加密 PIN 验证并签名";
        case 0x1E:
            return "签名（纸质）";
        case 0x1F:
            return "无需 CVM";
        case 0x20:
            return "出示持卡人证件（PBOC）";
        case 0x3F:
            return "未执行 CVM";
        default:
            break;
    }
    const std::string hex = BytesToHex(Bytes(&method, 1));
    if (method >= 0x30) {
        return "发卡行自定义方法 " + hex;
    }
    if (method >= 0x20) {
        return "支付系统自定义方法 " + hex;
    }
    return "保留方法 " + hex;
}

std::string CvmCondition(uint8_t code) {
    constexpr std::string_view kConditions[] = {
        "总是",
        "无人值守现金交易",
        "非无人值守现金、非手工现金且非返现交易",
        "终端支持该 CVM",
        "手工现金交易",
        "返现交易",
        "应用货币交易且金额小于 X",
        "应用货币交易且金额大于 X",
        "应用货币交易且金额小于 Y",
        "应用货币交易且金额大于 Y",
    };
    if (code < std::size(kConditions)) {
        return std::string(kConditions[code]);
    }
    const std::string hex = BytesToHex(Bytes(&code, 1));
    return code >= 0x80 ? "支付系统自定义条件 " + hex : "保留条件 " + hex;
}

// The CVM List (EMV Book 3 C3): amounts X and Y, then two-byte rules.
Lines ExplainCvmList(Bytes value, const EmvContext& context) {
    if (value.size() < 8 || value.size() % 2 != 0) {
        return {"长度应为 8 加 2 的倍数，实为 " + std::to_string(value.size()) + " 字节"};
    }
    const std::optional<uint16_t> currency = ApplicationCurrency(context);
    Lines lines{"金额 X：" + AmountText(std::to_string(*BinaryNumber(value.first(4))),
                                        context.application_exponent, currency),
                "金额 Y：" + AmountText(std::to_string(*BinaryNumber(value.subspan(4, 4))),
                                        context.application_exponent, currency)};
    for (size_t i = 8; i < value.size(); i += 2) {
        lines.push_back("规则 " + std::to_string((i - 8) / 2 + 1) + "：" + CvmMethod(value[i]) +
                        "；条件：" + CvmCondition(value[i + 1]) + "；" +
                        ((value[i] & 0x40) != 0 ? "失败则继续下一条规则" : "失败则持卡人验证失败"));
    }
    return lines;
}

// CVM Results (EMV Book 4 A4): method, condition, result.
Lines ExplainCvmResults(Bytes value) {
    if (value.size() != 3) {
        return {SizeMismatch(3, value.size())};
    }
    std::string result;
    switch (value[2]) {
        case 0x00:
            result = "未知";
            break;
        case 0x01:
            result = "失败";
            break;
        case 0x02:
            result = "成功";
            break;
        default:
            result = "保留值 " + BytesToHex(value.subspan(2, 1));
    }
    return {"方法：" + CvmMethod(value[0]), "条件：" + CvmCondition(value[1]), "结果：" + result};
}

// Cryptogram Information Data, as EMV Book 3 codes it for GENERATE AC.
Lines ExplainCid(Bytes value) {
    if (value.size() != 1) {
        return {SizeMismatch(1, value.size())};
    }
    constexpr std::string_view kTypes[] = {"AAC（拒绝）", "TC（批准）", "ARQC（请求联机）",
                                           "保留（RFU）"};
    Lines lines{std::string("密文类型：") + std::string(kTypes[value[0] >> 6])};
    if ((value[0] & 0x30) != 0) {
        lines.push_back("支付系统自定义位：" + std::to_string(value[0] >> 4 & 0x03));
    }
    if ((value[0] & 0x08) != 0) {
        lines.push_back("需要通知（advice）");
    }
    constexpr std::string_view kReasons[] = {"", "服务不允许", "超过 PIN 尝试次数",
                                             "发卡行认证失败"};
    const uint8_t reason = value[0] & 0x07;
    if (reason != 0) {
        lines.push_back("原因：" + (reason < std::size(kReasons)
                                        ? std::string(kReasons[reason])
                                        : "保留值 " + std::to_string(reason)));
    }
    return lines;
}

Lines ExplainCounter(Bytes value, std::string_view what) {
    const std::optional<uint64_t> number = BinaryNumber(value);
    if (!number) {
        return {};
    }
    return {std::string(what) + std::to_string(*number)};
}

// Terminal type (EMV Book 4 A1): who operates it, and where it stands online.
Lines ExplainTerminalType(Bytes value) {
    if (value.size() != 1) {
        return {SizeMismatch(1, value.size())};
    }
    const int operated = value[0] >> 4;
    const int kind = value[0] & 0x0F;
    constexpr std::string_view kOperators[] = {"", "金融机构", "商户", "持卡人"};
    constexpr std::string_view kKinds[] = {"",
                                           "有人值守，仅联机",
                                           "有人值守，可脱机可联机",
                                           "有人值守，仅脱机",
                                           "无人值守，仅联机",
                                           "无人值守，可脱机可联机",
                                           "无人值守，仅脱机"};
    if (operated < 1 || operated > 3 || kind < 1 || kind > 6) {
        return {"未定义的终端类型"};
    }
    return {std::string(kOperators[operated]) + "控制；" + std::string(kKinds[kind])};
}

Lines ExplainResponseCode(Bytes value, bool latin1) {
    const std::string text = TextOf(value, latin1);
    constexpr std::pair<std::string_view, std::string_view> kCodes[] = {
        {"Y1", "脱机批准"},           {"Z1", "脱机拒绝"}, {"Y3", "无法联机，脱机批准"},
        {"Z3", "无法联机，脱机拒绝"}, {"00", "批准"},
    };
    for (const auto& [code, meaning] : kCodes) {
        if (text == code) {
            return {text + " " + std::string(meaning)};
        }
    }
    return {text};
}

// Tag 80 holds a response in format 1: GET PROCESSING OPTIONS gives AIP and AFL (EMV Book 3 6.5.8),
// GENERATE AC gives CID, ATC, AC and issuer application data (6.5.5). An AIP followed by entries
// that all read as an AFL is taken for the former.
Lines ExplainFormat1(Bytes value) {
    bool afl = value.size() >= 6 && (value.size() - 2) % 4 == 0;
    for (size_t i = 2; afl && i < value.size(); i += 4) {
        afl = AflEntryValid(value.subspan(i, 4));
    }
    Lines lines;
    const auto append = [&lines](const std::string& head, const Lines& more) {
        lines.push_back(head);
        for (const std::string& line : more) {
            lines.push_back("  " + line);
        }
    };
    if (afl) {
        lines.push_back("GET PROCESSING OPTIONS 响应格式 1：");
        append("AIP " + BytesToHex(value.first(2)), ExplainBits(value.first(2), kAipBits, 2));
        if (value.size() > 2) {
            append("AFL " + BytesToHex(value.subspan(2)), ExplainAfl(value.subspan(2)));
        }
        return lines;
    }
    if (value.size() >= 11) {
        lines.push_back("GENERATE AC 响应格式 1：");
        append("密文信息数据 " + BytesToHex(value.first(1)), ExplainCid(value.first(1)));
        append("应用交易计数器 " + BytesToHex(value.subspan(1, 2)),
               ExplainCounter(value.subspan(1, 2), "十进制 "));
        lines.push_back("应用密文 " + BytesToHex(value.subspan(3, 8)));
        if (value.size() > 11) {
            lines.push_back("发卡行应用数据 " + BytesToHex(value.subspan(11)));
        }
        return lines;
    }
    return {};
}

}  // namespace

void NoteEmvContext(EmvContext& context, const EmvTlvEntry& entry) {
    if (entry.kind != EmvEntryKind::Object) {
        return;
    }
    const auto first = [](auto& slot, auto value) {
        if (!slot && value) {
            slot = value;
        }
    };
    switch (TagNumber(entry.tag)) {
        case 0x5F2A:
            first(context.transaction_currency, NumericCode(entry.value));
            break;
        case 0x5F36:
            first(context.transaction_exponent, SingleDigit(entry.value));
            break;
        case 0x9F42:
            first(context.application_currency, NumericCode(entry.value));
            break;
        case 0x9F51:
            first(context.check_currency, NumericCode(entry.value));
            break;
        case 0x9F44:
            first(context.application_exponent, SingleDigit(entry.value));
            break;
        case 0xDF71:
            first(context.second_currency, NumericCode(entry.value));
            break;
        case 0x9F11:
            if (!context.code_table && entry.value.size() == 1) {
                context.code_table = entry.value[0];
            }
            break;
        default:
            break;
    }
}

std::vector<std::string> ExplainEmvValue(std::span<const uint8_t> tag,
                                         std::span<const uint8_t> value,
                                         const EmvContext& context) {
    if (value.empty()) {
        return {};
    }
    switch (TagNumber(tag)) {
        case 0x5F24:
        case 0x5F25:
        case 0x9A:
            return ExplainDate(value);
        case 0x9F21:
            return ExplainTime(value);
        case 0x9F02:
        case 0x9F03:
            return ExplainAmount(value, context.transaction_exponent, context.transaction_currency);
        case 0x9F79:
        case 0x9F77:
        case 0x9F78:
        case 0x9F6D:
        case 0x9F5D:
        case 0x9F6B:
        case 0xDF62:
        case 0xDF63:
            return ExplainAmount(value, context.application_exponent, ApplicationCurrency(context));
        case 0xDF79:
        case 0xDF77:
        case 0xDF78:
        case 0xDF76:
        case 0xDF72:
            return ExplainAmount(value, std::nullopt, context.second_currency);
        case 0x5F2A:
        case 0x9F42:
        case 0x9F51:
        case 0xDF71:
        case 0x9F3B:
        case 0x9F3C:
            return ExplainCurrency(value);
        case 0x5F36:
        case 0x9F44:
        case 0x9F3D:
        case 0x9F43:
            return ExplainExponent(value);
        case 0x5F28:
        case 0x9F1A:
        case 0x9F57:
            return ExplainCountry(value);
        case 0x9C:
            return ExplainTransactionType(value);
        case 0x9F12:
            return {TextOf(value, context.code_table == 0x01)};
        case 0x5F2D:
            return ExplainLanguages(value);
        case 0x8A:
            return ExplainResponseCode(value, false);
        case 0x5A:
            return ExplainPan(value);
        case 0x57:
            return ExplainTrack2(value);
        case 0x5F30:
            return ExplainServiceCodeValue(value);
        case 0x94:
            return ExplainAfl(value);
        case 0x80:
            return ExplainFormat1(value);
        case 0x82:
            return ExplainBits(value, kAipBits, 2);
        case 0x9F07:
            return ExplainBits(value, kAucBits, 2);
        case 0x95:
        case 0x9F0D:
        case 0x9F0E:
        case 0x9F0F:
        case 0xDF8120:
        case 0xDF8121:
        case 0xDF8122:
            return ExplainBits(value, kTvrBits, 5);
        case 0x9B:
            return ExplainBits(value, kTsiBits, 2);
        case 0x8E:
            return ExplainCvmList(value, context);
        case 0x9F34:
            return ExplainCvmResults(value);
        case 0x9F33:
            return ExplainBits(value, kTerminalCapabilityBits, 3);
        case 0x9F40:
            return ExplainBits(value, kAdditionalCapabilityBits, 5);
        case 0x9F66:
            return ExplainBits(value, kTtqBits, 4);
        case 0x9F6C:
            return ExplainBits(value, kCtqBits, 2);
        case 0x9F27:
            return ExplainCid(value);
        case 0x9F36:
        case 0x9F13:
            return ExplainCounter(value, "十进制 ");
        case 0x9F17:
            return ExplainCounter(value, "剩余 PIN 尝试次数 ");
        case 0x9F35:
            return ExplainTerminalType(value);
        default:
            break;
    }
    const EmvTagEntry* entry = FindEmvTag(tag);
    if (entry == nullptr) {
        return {};
    }
    if (entry->format == TagFormat::Dol) {
        return ExplainDol(value);
    }
    if (entry->format == TagFormat::An || entry->format == TagFormat::Ans) {
        return {TextOf(value, false)};
    }
    return {};
}

std::string StatusWordMeaning(uint8_t sw1, uint8_t sw2) {
    const uint16_t sw = static_cast<uint16_t>(sw1 << 8 | sw2);
    switch (sw) {
        case 0x9000:
            return "命令成功执行";
        case 0x6281:
            return "警告：部分返回数据可能已损坏";
        case 0x6282:
            return "警告：读到文件或记录末尾之前数据已结束";
        case 0x6283:
            return "警告：所选文件已失效（应用已锁定）";
        case 0x6284:
            return "警告：文件控制信息格式不符";
        case 0x6300:
            return "警告：认证失败";
        case 0x6381:
            return "警告：文件已写满";
        case 0x6581:
            return "执行出错：存储器失败";
        case 0x6700:
            return "长度错误";
        case 0x6881:
            return "不支持逻辑通道";
        case 0x6882:
            return "不支持安全报文";
        case 0x6981:
            return "命令与文件结构不相容";
        case 0x6982:
            return "不满足安全状态";
        case 0x6983:
            return "认证方法已锁定";
        case 0x6984:
            return "引用数据无效";
        case 0x6985:
            return "不满足使用条件";
        case 0x6986:
            return "不满足命令执行条件（无当前文件）";
        case 0x6987:
            return "缺少安全报文数据对象";
        case 0x6988:
            return "安全报文数据对象不正确";
        case 0x6A80:
            return "数据域参数不正确";
        case 0x6A81:
            return "功能不支持（卡片或应用已锁定）";
        case 0x6A82:
            return "未找到文件或应用";
        case 0x6A83:
            return "未找到记录";
        case 0x6A84:
            return "文件存储空间不足";
        case 0x6A86:
            return "P1 P2 参数不正确";
        case 0x6A88:
            return "未找到引用数据";
        case 0x6B00:
            return "P1 P2 参数错误";
        case 0x6D00:
            return "指令代码（INS）不支持或无效";
        case 0x6E00:
            return "类别（CLA）不支持";
        case 0x6F00:
            return "无精确诊断";
        case 0x9302:
            return "MAC 无效";
        case 0x9303:
            return "应用已永久锁定";
        case 0x9401:
            return "金额不足";
        case 0x9402:
            return "交易计数器已达最大值";
        case 0x9403:
            return "密钥索引不支持";
        case 0x9406:
            return "所需 MAC 不可用";
        default:
            break;
    }
    switch (sw1) {
        case 0x61:
            return "还有 " + std::to_string(sw2) + " 字节响应数据可取（GET RESPONSE）";
        case 0x62:
            return "警告：非易失性存储器未改变";
        case 0x63:
            if ((sw2 & 0xF0) == 0xC0) {
                return "警告：校验失败，还可重试 " + std::to_string(sw2 & 0x0F) + " 次";
            }
            return "警告：非易失性存储器已改变";
        case 0x64:
            return "执行出错：非易失性存储器未改变";
        case 0x65:
            return "执行出错：非易失性存储器已改变";
        case 0x66:
            return "安全相关错误";
        case 0x67:
            return "长度错误";
        case 0x68:
            return "类别（CLA）中的功能不支持";
        case 0x69:
            return "命令不被允许";
        case 0x6A:
        case 0x6B:
            return "P1 P2 参数错误";
        case 0x6C:
            return "Le 错误，正确的长度为 " + std::to_string(sw2) + " 字节";
        case 0x6D:
            return "指令代码（INS）不支持或无效";
        case 0x6E:
            return "类别（CLA）不支持";
        default:
            return "无精确诊断";
    }
}
