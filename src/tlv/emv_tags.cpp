#include "tlv/emv_tags.h"

#include <algorithm>
#include <array>
#include <utility>

#include "common/hex_codec.h"

namespace {

constexpr std::array<EmvTagEntry, kEmvTagCount> kEmvTags{{
    // The 111 tags the "按数据嵌套" listing also names, in its lookup order (tag_dictionary.h).
    // New tags go below them: one put among them would be named in that listing and push its
    // last tag out.
    {"9F26", "应用密文（AC）", TagFormat::B},
    {"9F42", "应用货币代码（如果CVM中要求金额检查，需要此数据）", TagFormat::N},
    {"9F51", "应用货币代码（如果执行频度检查，需要此数据）", TagFormat::N},
    {"9F44", "应用货币指数", TagFormat::N},
    {"9F52", "应用缺省行为", TagFormat::B},
    {"9F05", "应用自定义数据", TagFormat::B},
    {"5F25", "应用生效日期", TagFormat::N},
    {"5F24", "应用失效日期", TagFormat::N},
    {"94", "应用文件定位器", TagFormat::B},
    {"4F", "应用标识符（AID）", TagFormat::B},
    {"82", "应用交互特征（AIP）", TagFormat::B},
    {"50", "应用标签", TagFormat::Ans},
    {"9F12", "应用首选名称 ", TagFormat::Ans},
    {"5A", "应用主账号（PAN）", TagFormat::Cn},
    {"5F34", "应用主账号序列号", TagFormat::N},
    {"87", "应用优先指示器", TagFormat::B},
    {"61", "应用模板（如果有PSE）", TagFormat::Template},
    {"9F36", "应用交易计数器", TagFormat::B},
    {"9F07", "应用用途控制", TagFormat::B},
    {"9F08", "应用版本号", TagFormat::B},
    {"8A", "授权响应码", TagFormat::An},
    {"8C", "卡片风险管理数据对象列表1（CDOL1）", TagFormat::Dol},
    {"8D", "卡片风险管理数据对象列表2（CDOL2）", TagFormat::Dol},
    {"5F20", "持卡人姓名", TagFormat::Ans},
    {"9F0B", "持卡人姓名扩展", TagFormat::Ans},
    {"9F61", "持卡人证件号", TagFormat::An},
    {"9F62", "持卡人证件类型", TagFormat::N},
    {"8E", "持卡人验证方法（CVM）列表", TagFormat::B},
    {"8F", "CA公钥索引（PKI）", TagFormat::B},
    {"9F53", "连续脱机交易限制数（国际-货币）", TagFormat::B},
    {"9F72", "连续脱机交易限制数（国际-国家）", TagFormat::B},
    {"9F27", "密文信息数据", TagFormat::B},
    {"9F54", "累计脱机交易金额限制数", TagFormat::N},
    {"9F75", "累计脱机交易金额限制数（双货币）", TagFormat::N},
    {"9F5C", "累计脱机交易金额上限", TagFormat::N},
    {"9F73", "货币转换因子", TagFormat::N},
    {"9F45", "数据认证码", TagFormat::B},
    {"84", "专用文件（DF）名称", TagFormat::B},
    {"9D", "目录数据文件（DDF）名称", TagFormat::B},
    {"73", "目录自定义模板", TagFormat::Template},
    {"9F49", "动态数据认证数据对象列表（DDOL）", TagFormat::Dol},
    {"BF0C", "文件控制信息（FCI）发卡行自定义数据", TagFormat::Template},
    {"A5", "文件控制信息（FCI）专用模板", TagFormat::Template},
    {"6F", "文件控制信息（FCI）模板", TagFormat::Template},
    {"9F4C", "IC动态数", TagFormat::B},
    {"9F47", "IC卡公钥指数", TagFormat::B},
    {"9F46", "IC卡公钥证书", TagFormat::B},
    {"9F48", "IC卡公钥余数", TagFormat::B},
    {"9F0D", "发卡行行为代码（IAC）-缺省", TagFormat::B},
    {"9F0E", "发卡行行为代码（IAC）-拒绝 ", TagFormat::B},
    {"9F0F", "发卡行行为代码（IAC）-联机", TagFormat::B},
    {"9F10", "发卡行应用数据", TagFormat::B},
    {"91", "发卡行认证数据", TagFormat::B},
    {"9F56", "发卡行认证指示位", TagFormat::B},
    {"9F11", "发卡行代码表索引", TagFormat::N},
    {"5F28", "发卡行国家代码", TagFormat::N},
    {"9F57", "发卡行国家代码", TagFormat::N},
    {"90", "发卡行公钥证书", TagFormat::B},
    {"9F32", "发卡行公钥指数", TagFormat::B},
    {"92", "发卡行公钥余数", TagFormat::B},
    {"86", "发卡行脚本命令", TagFormat::B},
    {"72", "发卡行脚本模板2", TagFormat::Template},
    {"5F50", "发卡行URL", TagFormat::Ans},
    {"9F5A", "发卡行URL2", TagFormat::Ans},
    {"5F2D", "首选语言", TagFormat::An},
    {"9F13", "上次联机应用交易计数器（ATC）寄存器（LOATC）", TagFormat::B},
    {"9F4D", "日志入口", TagFormat::B},
    {"9F4F", "日志格式", TagFormat::B},
    {"9F14", "连续脱机交易下限（如果执行终端频度检查）", TagFormat::B},
    {"9F58", "连续脱机交易下限（如果执行卡片频度检查）", TagFormat::B},
    {"9F17", "PIN尝试计数器", TagFormat::B},
    {"9F38", "处理选项数据对象列表（PDOL）", TagFormat::Dol},
    {"80", "响应报文模板格式1", TagFormat::B},
    {"77", "响应报文模板格式2", TagFormat::Template},
    {"9F76", "第2应用货币", TagFormat::N},
    {"5F30", "服务码", TagFormat::N},
    {"88", "短文件标识符（SFI）", TagFormat::B},
    {"9F4B", "签名的动态应用数据", TagFormat::B},
    {"93", "签名的静态应用数据（SAD）", TagFormat::B},
    {"9F4A", "静态数据认证标签列表", TagFormat::B},
    {"9F1F", "磁条1自定义数据", TagFormat::Ans},
    {"57", "磁条2等效数据", TagFormat::B},
    {"97", "交易证书数据对象列表（TDOL）", TagFormat::Dol},
    {"9F23", "连续脱机交易上限", TagFormat::B},
    {"9F59", "连续脱机交易上限", TagFormat::B},
    {"9F63", "产品标识信息", TagFormat::B},
    {"9F79", "电子现金余额（EC Balance）", TagFormat::N},
    {"9F77", "电子现金余额上限（EC Balance Limit）", TagFormat::N},
    {"9F74", "电子现金发卡行授权码（EC Issuer Authorization Code）", TagFormat::An},
    {"9F78", "电子现金单笔交易限额（EC Single Transaction Limit）", TagFormat::N},
    {"9F6D", "电子现金重置阈值（EC Reset Threshold）", TagFormat::N},
    {"DF4D", "圈存日志入口", TagFormat::B},
    {"DF4F", "圈存日志格式", TagFormat::B},
    {"9F7A", "电子现金终端支持指示器（EC Terminal Support Indicator）", TagFormat::B},
    {"9F7B", "电子现金终端交易限额（EC Terminal Transaction Limit）", TagFormat::N},
    {"9F5D", "可用脱机消费金额", TagFormat::N},
    {"9F68", "卡片附加处理", TagFormat::B},
    {"9F6B", "卡片CVM限额", TagFormat::N},
    {"9F6C", "卡片交易属性", TagFormat::B},
    {"9F66", "终端交易属性", TagFormat::B},
    {"DF60", "CAPP交易指示位", TagFormat::B},
    {"DF61", "分段扣费应用标识", TagFormat::B},
    {"DF62", "电子现金分段扣费抵扣限额", TagFormat::N},
    {"DF63", "电子现金分段扣费已抵扣额", TagFormat::N},
    {"DF71", "第二币种电子现金应用货币代码（EC Secondary Application CurrencyCode）", TagFormat::N},
    {"DF79", "第二币种电子现金余额（EC Secondary Application Balance）", TagFormat::N},
    {"DF77", "第二币种电子现金余额上限（EC Secondary Application Balance Limit）", TagFormat::N},
    {"DF78", "第二币种电子现金单笔交易限额（EC Secondary Application Single Transaction Limit）",
     TagFormat::N},
    {"DF76", "第二币种电子现金重置阈值（EC Secondary Application Reset Threshold）", TagFormat::N},
    {"DF72", "第二币种卡片CVM限额（EC Secondary Card CVM Limit）", TagFormat::N},
    {"DF69", "SM2算法支持指示器", TagFormat::B},
    // EMV 4.4 Book 3 Annex A, the contactless kernels (Book C-2) and PBOC 3.0.
    {"42", "发卡行标识号（IIN）", TagFormat::N},
    {"52", "命令报文", TagFormat::B},
    {"5F2A", "交易货币代码", TagFormat::N},
    {"5F36", "交易货币指数", TagFormat::N},
    {"5F53", "国际银行账号（IBAN）", TagFormat::An},
    {"5F54", "银行标识码（BIC）", TagFormat::An},
    {"5F55", "发卡行国家代码（alpha2格式）", TagFormat::An},
    {"5F56", "发卡行国家代码（alpha3格式）", TagFormat::An},
    {"5F57", "账户类型", TagFormat::N},
    {"70", "读记录响应报文模板", TagFormat::Template},
    {"71", "发卡行脚本模板1", TagFormat::Template},
    {"81", "授权金额（二进制）", TagFormat::B},
    {"83", "命令模板", TagFormat::B},
    {"89", "授权码", TagFormat::An},
    {"95", "终端验证结果（TVR）", TagFormat::B},
    {"98", "交易证书（TC）哈希值", TagFormat::B},
    {"99", "交易个人识别码（PIN）数据", TagFormat::B},
    {"9A", "交易日期", TagFormat::N},
    {"9B", "交易状态信息（TSI）", TagFormat::B},
    {"9C", "交易类型", TagFormat::N},
    {"9F01", "收单行标识", TagFormat::N},
    {"9F02", "授权金额", TagFormat::N},
    {"9F03", "其他金额", TagFormat::N},
    {"9F04", "其他金额（二进制）", TagFormat::B},
    {"9F06", "应用标识符（AID）-终端", TagFormat::B},
    {"9F09", "应用版本号-终端", TagFormat::B},
    {"9F0A", "应用选择注册专有数据（ASRPD）", TagFormat::B},
    {"9F0C", "发卡行标识号扩展（IINE）", TagFormat::N},
    {"9F15", "商户分类码（MCC）", TagFormat::N},
    {"9F16", "商户标识", TagFormat::Ans},
    {"9F18", "发卡行脚本标识", TagFormat::B},
    {"9F19", "令牌请求方标识", TagFormat::N},
    {"9F1A", "终端国家代码", TagFormat::N},
    {"9F1B", "终端最低限额", TagFormat::B},
    {"9F1C", "终端标识", TagFormat::An},
    {"9F1D", "终端风险管理数据", TagFormat::B},
    {"9F1E", "接口设备（IFD）序列号", TagFormat::An},
    {"9F20", "磁条2自定义数据", TagFormat::Cn},
    {"9F21", "交易时间", TagFormat::N},
    {"9F22", "CA公钥索引（终端）", TagFormat::B},
    {"9F24", "支付账户参考（PAR）", TagFormat::An},
    {"9F25", "应用主账号后4位", TagFormat::N},
    {"9F29", "扩展选择", TagFormat::B},
    {"9F2A", "内核标识", TagFormat::B},
    {"9F2D", "IC卡PIN加密公钥证书", TagFormat::B},
    {"9F2E", "IC卡PIN加密公钥指数", TagFormat::B},
    {"9F2F", "IC卡PIN加密公钥余数", TagFormat::B},
    {"9F33", "终端性能", TagFormat::B},
    {"9F34", "持卡人验证方法（CVM）结果", TagFormat::B},
    {"9F35", "终端类型", TagFormat::N},
    {"9F37", "不可预知数", TagFormat::B},
    {"9F39", "销售点（POS）输入方式", TagFormat::N},
    {"9F3A", "参考货币金额", TagFormat::B},
    {"9F3B", "应用参考货币", TagFormat::N},
    {"9F3C", "交易参考货币代码", TagFormat::N},
    {"9F3D", "交易参考货币指数", TagFormat::N},
    {"9F40", "附加终端性能", TagFormat::B},
    {"9F41", "交易序列计数器", TagFormat::N},
    {"9F43", "应用参考货币指数", TagFormat::N},
    {"9F4E", "商户名称和位置", TagFormat::Ans},
    {"9F5B", "发卡行脚本结果", TagFormat::B},
    {"9F5E", "数据存储标识（DS ID）", TagFormat::B},
    {"9F5F", "数据存储槽可用性", TagFormat::B},
    {"9F60", "CVC3（磁条1）", TagFormat::B},
    {"9F64", "磁条1 NATC", TagFormat::B},
    {"9F65", "磁条2 PCVC3", TagFormat::B},
    {"9F67", "磁条2 NATC", TagFormat::B},
    {"9F69", "卡片认证相关数据", TagFormat::B},
    {"9F6A", "不可预知数（数字型）", TagFormat::N},
    {"9F6E", "第三方数据", TagFormat::B},
    {"9F6F", "数据存储槽管理控制", TagFormat::B},
    {"9F70", "受保护数据信封1", TagFormat::B},
    {"9F71", "受保护数据信封2", TagFormat::B},
    {"9F7C", "商户自定义数据", TagFormat::B},
    {"9F7D", "数据存储摘要1", TagFormat::B},
    {"9F7E", "移动支持指示器", TagFormat::B},
    {"9F7F", "数据存储不可预知数", TagFormat::B},
    {"DF31", "发卡行脚本结果", TagFormat::B},
    {"DF8101", "数据存储摘要2", TagFormat::B},
    {"DF8102", "数据存储摘要3", TagFormat::B},
    {"DF8104", "生成AC前读取的余额", TagFormat::N},
    {"DF8105", "生成AC后读取的余额", TagFormat::N},
    {"DF8106", "所需数据", TagFormat::B},
    {"DF8107", "CDOL1相关数据", TagFormat::B},
    {"DF8108", "数据存储AC类型", TagFormat::B},
    {"DF8109", "数据存储输入（终端）", TagFormat::B},
    {"DF810A", "读卡器数据存储操作信息", TagFormat::B},
    {"DF810B", "数据存储摘要状态", TagFormat::B},
    {"DF810C", "内核标识（终端）", TagFormat::B},
    {"DF810D", "数据存储版本号（终端）", TagFormat::B},
    {"DF810E", "生成AC后写入数据状态", TagFormat::B},
    {"DF810F", "生成AC前写入数据状态", TagFormat::B},
    {"DF8110", "首次写入标志", TagFormat::B},
    {"DF8111", "PDOL相关数据", TagFormat::B},
    {"DF8112", "待读标签", TagFormat::B},
    {"DF8113", "DRDOL相关数据", TagFormat::B},
    {"DF8114", "参考控制参数", TagFormat::B},
    {"DF8115", "错误指示", TagFormat::B},
    {"DF8116", "用户界面请求数据", TagFormat::B},
    {"DF8117", "卡数据输入能力", TagFormat::B},
    {"DF8118", "CVM能力-需要CVM", TagFormat::B},
    {"DF8119", "CVM能力-无需CVM", TagFormat::B},
    {"DF811A", "缺省UDOL", TagFormat::Dol},
    {"DF811B", "内核配置", TagFormat::B},
    {"DF811C", "残缺交易日志记录最长保存时间", TagFormat::B},
    {"DF811D", "残缺交易日志记录最大数量", TagFormat::B},
    {"DF811E", "磁条CVM能力-需要CVM", TagFormat::B},
    {"DF811F", "安全能力", TagFormat::B},
    {"DF8120", "终端行为代码（TAC）-缺省", TagFormat::B},
    {"DF8121", "终端行为代码（TAC）-拒绝", TagFormat::B},
    {"DF8122", "终端行为代码（TAC）-联机", TagFormat::B},
    {"DF8123", "读卡器非接触脱机最低限额", TagFormat::N},
    {"DF8124", "读卡器非接触交易限额（无设备CVM）", TagFormat::N},
    {"DF8125", "读卡器非接触交易限额（有设备CVM）", TagFormat::N},
    {"DF8126", "读卡器CVM所需限额", TagFormat::N},
    {"DF8127", "超时值", TagFormat::B},
    {"DF8128", "集成数据存储状态", TagFormat::B},
    {"DF8129", "结果参数集", TagFormat::B},
    {"DF812A", "磁条1动态数据", TagFormat::N},
    {"DF812B", "磁条2动态数据", TagFormat::N},
    {"DF812C", "磁条CVM能力-无需CVM", TagFormat::B},
    {"DF812D", "提示信息保持时间", TagFormat::N},
    {"DF8130", "保持时间值", TagFormat::B},
    {"DF8131", "电话消息表", TagFormat::B},
    {"DF8132", "最小中继阻抗宽限期", TagFormat::B},
    {"DF8133", "最大中继阻抗宽限期", TagFormat::B},
    {"DF8134", "终端期望的中继阻抗命令传输时间", TagFormat::B},
    {"DF8135", "终端期望的中继阻抗响应传输时间", TagFormat::B},
    {"DF8136", "中继阻抗精度阈值", TagFormat::B},
    {"DF8137", "中继阻抗传输时间失配阈值", TagFormat::B},
    {"9F50", "脱机累计余额", TagFormat::N},
    {"DF4B", "POS持卡人交互信息", TagFormat::B},
}};

uint32_t TagNumberOfText(std::string_view hex) {
    uint32_t number = 0;
    for (char ch : hex) {
        number = number << 4 | HexDigitValue(ch);
    }
    return number;
}

// SortedByNumber is the table ordered by tag number, for a binary search per listed object.
const std::array<std::pair<uint32_t, const EmvTagEntry*>, kEmvTagCount>& SortedByNumber() {
    static const auto sorted = [] {
        std::array<std::pair<uint32_t, const EmvTagEntry*>, kEmvTagCount> index{};
        for (size_t i = 0; i < kEmvTagCount; ++i) {
            index[i] = {TagNumberOfText(kEmvTags[i].tag), &kEmvTags[i]};
        }
        std::sort(index.begin(), index.end());
        return index;
    }();
    return sorted;
}

}  // namespace

std::span<const EmvTagEntry, kEmvTagCount> EmvTagTable() {
    return kEmvTags;
}

uint32_t TagNumber(std::span<const uint8_t> tag) {
    uint32_t number = 0;
    for (uint8_t byte : tag) {
        number = number << 8 | byte;
    }
    return number;
}

const EmvTagEntry* FindEmvTag(std::span<const uint8_t> tag) {
    if (tag.empty() || tag.size() > 4) {
        return nullptr;
    }
    const uint32_t number = TagNumber(tag);
    const auto& index = SortedByNumber();
    const auto it = std::lower_bound(index.begin(), index.end(), number,
                                     [](const std::pair<uint32_t, const EmvTagEntry*>& entry,
                                        uint32_t n) { return entry.first < n; });
    return it != index.end() && it->first == number ? it->second : nullptr;
}

std::string_view TagFormatText(TagFormat format) {
    switch (format) {
        case TagFormat::B:
            return "b";
        case TagFormat::N:
            return "n";
        case TagFormat::Cn:
            return "cn";
        case TagFormat::An:
            return "an";
        case TagFormat::Ans:
            return "ans";
        case TagFormat::Dol:
            return "DOL";
        case TagFormat::Template:
            return "模板";
    }
    return "";
}
