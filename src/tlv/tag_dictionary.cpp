#include "tlv/tag_dictionary.h"

#include <algorithm>

namespace {

// The PBOC/EMV data elements the listing names, in lookup order. Descriptions are UTF-8; those of
// 9F12 and 9F0E end in a blank that belongs to them.
constexpr std::array<TagEntry, kTagDictionarySize> kTagDictionary{{
    {"9F26", "应用密文（AC）"},
    {"9F42", "应用货币代码（如果CVM中要求金额检查，需要此数据）"},
    {"9F51", "应用货币代码（如果执行频度检查，需要此数据）"},
    {"9F44", "应用货币指数"},
    {"9F52", "应用缺省行为"},
    {"9F05", "应用自定义数据"},
    {"5F25", "应用生效日期"},
    {"5F24", "应用失效日期"},
    {"94", "应用文件定位器"},
    {"4F", "应用标识符（AID）"},
    {"82", "应用交互特征（AIP）"},
    {"50", "应用标签"},
    {"9F12", "应用首选名称 "},
    {"5A", "应用主账号（PAN）"},
    {"5F34", "应用主账号序列号"},
    {"87", "应用优先指示器"},
    {"61", "应用模板（如果有PSE）"},
    {"9F36", "应用交易计数器"},
    {"9F07", "应用用途控制"},
    {"9F08", "应用版本号"},
    {"8A", "授权响应码"},
    {"8C", "卡片风险管理数据对象列表1（CDOL1）"},
    {"8D", "卡片风险管理数据对象列表2（CDOL2）"},
    {"5F20", "持卡人姓名"},
    {"9F0B", "持卡人姓名扩展"},
    {"9F61", "持卡人证件号"},
    {"9F62", "持卡人证件类型"},
    {"8E", "持卡人验证方法（CVM）列表"},
    {"8F", "CA公钥索引（PKI）"},
    {"9F53", "连续脱机交易限制数（国际-货币）"},
    {"9F72", "连续脱机交易限制数（国际-国家）"},
    {"9F27", "密文信息数据"},
    {"9F54", "累计脱机交易金额限制数"},
    {"9F75", "累计脱机交易金额限制数（双货币）"},
    {"9F5C", "累计脱机交易金额上限"},
    {"9F73", "货币转换因子"},
    {"9F45", "数据认证码"},
    {"84", "专用文件（DF）名称"},
    {"9D", "目录数据文件（DDF）名称"},
    {"73", "目录自定义模板"},
    {"9F49", "动态数据认证数据对象列表（DDOL）"},
    {"BF0C", "文件控制信息（FCI）发卡行自定义数据"},
    {"A5", "文件控制信息（FCI）专用模板"},
    {"6F", "文件控制信息（FCI）模板"},
    {"9F4C", "IC动态数"},
    {"9F47", "IC卡公钥指数"},
    {"9F46", "IC卡公钥证书"},
    {"9F48", "IC卡公钥余数"},
    {"9F0D", "发卡行行为代码（IAC）-缺省"},
    {"9F0E", "发卡行行为代码（IAC）-拒绝 "},
    {"9F0F", "发卡行行为代码（IAC）-联机"},
    {"9F10", "发卡行应用数据"},
    {"91", "发卡行认证数据"},
    {"9F56", "发卡行认证指示位"},
    {"9F11", "发卡行代码表索引"},
    {"5F28", "发卡行国家代码"},
    {"9F57", "发卡行国家代码"},
    {"90", "发卡行公钥证书"},
    {"9F32", "发卡行公钥指数"},
    {"92", "发卡行公钥余数"},
    {"86", "发卡行脚本命令"},
    {"72", "发卡行脚本模板2"},
    {"5F50", "发卡行URL"},
    {"9F5A", "发卡行URL2"},
    {"5F2D", "首选语言"},
    {"9F13", "上次联机应用交易计数器（ATC）寄存器（LOATC）"},
    {"9F4D", "日志入口"},
    {"9F4F", "日志格式"},
    {"9F14", "连续脱机交易下限（如果执行终端频度检查）"},
    {"9F58", "连续脱机交易下限（如果执行卡片频度检查）"},
    {"9F17", "PIN尝试计数器"},
    {"9F38", "处理选项数据对象列表（PDOL）"},
    {"80", "响应报文模板格式1"},
    {"77", "响应报文模板格式2"},
    {"9F76", "第2应用货币"},
    {"5F30", "服务码"},
    {"88", "短文件标识符（SFI）"},
    {"9F4B", "签名的动态应用数据"},
    {"93", "签名的静态应用数据（SAD）"},
    {"9F4A", "静态数据认证标签列表"},
    {"9F1F", "磁条1自定义数据"},
    {"57", "磁条2等效数据"},
    {"97", "交易证书数据对象列表（TDOL）"},
    {"9F23", "连续脱机交易上限"},
    {"9F59", "连续脱机交易上限"},
    {"9F63", "产品标识信息"},
    {"9F79", "电子现金余额（EC Balance）"},
    {"9F77", "电子现金余额上限（EC Balance Limit）"},
    {"9F74", "电子现金发卡行授权码（EC Issuer Authorization Code）"},
    {"9F78", "电子现金单笔交易限额（EC Single Transaction Limit）"},
    {"9F6D", "电子现金重置阈值（EC Reset Threshold）"},
    {"DF4D", "圈存日志入口"},
    {"DF4F", "圈存日志格式"},
    {"9F7A", "电子现金终端支持指示器（EC Terminal Support Indicator）"},
    {"9F7B", "电子现金终端交易限额（EC Terminal Transaction Limit）"},
    {"9F5D", "可用脱机消费金额"},
    {"9F68", "卡片附加处理"},
    {"9F6B", "卡片CVM限额"},
    {"9F6C", "卡片交易属性"},
    {"9F66", "终端交易属性"},
    {"DF60", "CAPP交易指示位"},
    {"DF61", "分段扣费应用标识"},
    {"DF62", "电子现金分段扣费抵扣限额"},
    {"DF63", "电子现金分段扣费已抵扣额"},
    {"DF71", "第二币种电子现金应用货币代码（EC Secondary Application CurrencyCode）"},
    {"DF79", "第二币种电子现金余额（EC Secondary Application Balance）"},
    {"DF77", "第二币种电子现金余额上限（EC Secondary Application Balance Limit）"},
    {"DF78", "第二币种电子现金单笔交易限额（EC Secondary Application Single Transaction Limit）"},
    {"DF76", "第二币种电子现金重置阈值（EC Secondary Application Reset Threshold）"},
    {"DF72", "第二币种卡片CVM限额（EC Secondary Card CVM Limit）"},
    {"DF69", "SM2算法支持指示器"},
}};

char UpperAscii(char ch) {
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

bool EqualsUpper(std::string_view text, std::string_view upper) {
    return text.size() == upper.size() &&
           std::equal(text.begin(), text.end(), upper.begin(),
                      [](char a, char b) { return UpperAscii(a) == b; });
}

}  // namespace

std::span<const TagEntry, kTagDictionarySize> TagDictionary() {
    return kTagDictionary;
}

std::string_view LookupTagName(std::string_view tag) {
    for (const TagEntry& entry : kTagDictionary) {
        if (EqualsUpper(tag, entry.tag)) {
            return entry.description;
        }
    }
    return {};
}
