#include "tlv/iso_codes.h"

#include <algorithm>
#include <array>

namespace {

// ISO 4217, ordered by numeric code.
constexpr std::array kCurrencies{
    CurrencyEntry{8, "ALL", 2, "阿尔巴尼亚列克"},
    CurrencyEntry{12, "DZD", 2, "阿尔及利亚第纳尔"},
    CurrencyEntry{32, "ARS", 2, "阿根廷比索"},
    CurrencyEntry{36, "AUD", 2, "澳大利亚元"},
    CurrencyEntry{48, "BHD", 3, "巴林第纳尔"},
    CurrencyEntry{50, "BDT", 2, "孟加拉塔卡"},
    CurrencyEntry{51, "AMD", 2, "亚美尼亚德拉姆"},
    CurrencyEntry{64, "BTN", 2, "不丹努尔特鲁姆"},
    CurrencyEntry{96, "BND", 2, "文莱元"},
    CurrencyEntry{104, "MMK", 2, "缅甸元"},
    CurrencyEntry{116, "KHR", 2, "柬埔寨瑞尔"},
    CurrencyEntry{124, "CAD", 2, "加拿大元"},
    CurrencyEntry{144, "LKR", 2, "斯里兰卡卢比"},
    CurrencyEntry{152, "CLP", 0, "智利比索"},
    CurrencyEntry{156, "CNY", 2, "人民币"},
    CurrencyEntry{170, "COP", 2, "哥伦比亚比索"},
    CurrencyEntry{203, "CZK", 2, "捷克克朗"},
    CurrencyEntry{208, "DKK", 2, "丹麦克朗"},
    CurrencyEntry{344, "HKD", 2, "港元"},
    CurrencyEntry{348, "HUF", 2, "匈牙利福林"},
    CurrencyEntry{352, "ISK", 0, "冰岛克朗"},
    CurrencyEntry{356, "INR", 2, "印度卢比"},
    CurrencyEntry{360, "IDR", 2, "印度尼西亚卢比"},
    CurrencyEntry{364, "IRR", 2, "伊朗里亚尔"},
    CurrencyEntry{368, "IQD", 3, "伊拉克第纳尔"},
    CurrencyEntry{376, "ILS", 2, "以色列新谢克尔"},
    CurrencyEntry{392, "JPY", 0, "日元"},
    CurrencyEntry{398, "KZT", 2, "哈萨克斯坦坚戈"},
    CurrencyEntry{400, "JOD", 3, "约旦第纳尔"},
    CurrencyEntry{404, "KES", 2, "肯尼亚先令"},
    CurrencyEntry{410, "KRW", 0, "韩元"},
    CurrencyEntry{414, "KWD", 3, "科威特第纳尔"},
    CurrencyEntry{418, "LAK", 2, "老挝基普"},
    CurrencyEntry{422, "LBP", 2, "黎巴嫩镑"},
    CurrencyEntry{434, "LYD", 3, "利比亚第纳尔"},
    CurrencyEntry{446, "MOP", 2, "澳门元"},
    CurrencyEntry{458, "MYR", 2, "马来西亚林吉特"},
    CurrencyEntry{462, "MVR", 2, "马尔代夫拉菲亚"},
    CurrencyEntry{484, "MXN", 2, "墨西哥比索"},
    CurrencyEntry{496, "MNT", 2, "蒙古图格里克"},
    CurrencyEntry{504, "MAD", 2, "摩洛哥迪拉姆"},
    CurrencyEntry{512, "OMR", 3, "阿曼里亚尔"},
    CurrencyEntry{524, "NPR", 2, "尼泊尔卢比"},
    CurrencyEntry{554, "NZD", 2, "新西兰元"},
    CurrencyEntry{566, "NGN", 2, "尼日利亚奈拉"},
    CurrencyEntry{578, "NOK", 2, "挪威克朗"},
    CurrencyEntry{586, "PKR", 2, "巴基斯坦卢比"},
    CurrencyEntry{604, "PEN", 2, "秘鲁索尔"},
    CurrencyEntry{608, "PHP", 2, "菲律宾比索"},
    CurrencyEntry{634, "QAR", 2, "卡塔尔里亚尔"},
    CurrencyEntry{643, "RUB", 2, "俄罗斯卢布"},
    CurrencyEntry{682, "SAR", 2, "沙特里亚尔"},
    CurrencyEntry{702, "SGD", 2, "新加坡元"},
    CurrencyEntry{704, "VND", 0, "越南盾"},
    CurrencyEntry{710, "ZAR", 2, "南非兰特"},
    CurrencyEntry{752, "SEK", 2, "瑞典克朗"},
    CurrencyEntry{756, "CHF", 2, "瑞士法郎"},
    CurrencyEntry{764, "THB", 2, "泰铢"},
    CurrencyEntry{784, "AED", 2, "阿联酋迪拉姆"},
    CurrencyEntry{788, "TND", 3, "突尼斯第纳尔"},
    CurrencyEntry{818, "EGP", 2, "埃及镑"},
    CurrencyEntry{826, "GBP", 2, "英镑"},
    CurrencyEntry{840, "USD", 2, "美元"},
    CurrencyEntry{858, "UYU", 2, "乌拉圭比索"},
    CurrencyEntry{860, "UZS", 2, "乌兹别克斯坦苏姆"},
    CurrencyEntry{901, "TWD", 2, "新台币"},
    CurrencyEntry{933, "BYN", 2, "白俄罗斯卢布"},
    CurrencyEntry{944, "AZN", 2, "阿塞拜疆马纳特"},
    CurrencyEntry{946, "RON", 2, "罗马尼亚列伊"},
    CurrencyEntry{949, "TRY", 2, "土耳其里拉"},
    CurrencyEntry{971, "AFN", 2, "阿富汗尼"},
    CurrencyEntry{975, "BGN", 2, "保加利亚列弗"},
    CurrencyEntry{978, "EUR", 2, "欧元"},
    CurrencyEntry{980, "UAH", 2, "乌克兰格里夫纳"},
    CurrencyEntry{981, "GEL", 2, "格鲁吉亚拉里"},
    CurrencyEntry{985, "PLN", 2, "波兰兹罗提"},
    CurrencyEntry{986, "BRL", 2, "巴西雷亚尔"},
};

// ISO 3166-1, ordered by numeric code.
constexpr std::array kCountries{
    CountryEntry{4, "AF", "阿富汗"},       CountryEntry{8, "AL", "阿尔巴尼亚"},
    CountryEntry{12, "DZ", "阿尔及利亚"},  CountryEntry{31, "AZ", "阿塞拜疆"},
    CountryEntry{32, "AR", "阿根廷"},      CountryEntry{36, "AU", "澳大利亚"},
    CountryEntry{40, "AT", "奥地利"},      CountryEntry{48, "BH", "巴林"},
    CountryEntry{50, "BD", "孟加拉国"},    CountryEntry{51, "AM", "亚美尼亚"},
    CountryEntry{56, "BE", "比利时"},      CountryEntry{64, "BT", "不丹"},
    CountryEntry{76, "BR", "巴西"},        CountryEntry{96, "BN", "文莱"},
    CountryEntry{100, "BG", "保加利亚"},   CountryEntry{104, "MM", "缅甸"},
    CountryEntry{112, "BY", "白俄罗斯"},   CountryEntry{116, "KH", "柬埔寨"},
    CountryEntry{124, "CA", "加拿大"},     CountryEntry{144, "LK", "斯里兰卡"},
    CountryEntry{152, "CL", "智利"},       CountryEntry{156, "CN", "中国"},
    CountryEntry{158, "TW", "中国台湾"},   CountryEntry{170, "CO", "哥伦比亚"},
    CountryEntry{191, "HR", "克罗地亚"},   CountryEntry{196, "CY", "塞浦路斯"},
    CountryEntry{203, "CZ", "捷克"},       CountryEntry{208, "DK", "丹麦"},
    CountryEntry{231, "ET", "埃塞俄比亚"}, CountryEntry{233, "EE", "爱沙尼亚"},
    CountryEntry{246, "FI", "芬兰"},       CountryEntry{250, "FR", "法国"},
    CountryEntry{268, "GE", "格鲁吉亚"},   CountryEntry{276, "DE", "德国"},
    CountryEntry{288, "GH", "加纳"},       CountryEntry{300, "GR", "希腊"},
    CountryEntry{344, "HK", "中国香港"},   CountryEntry{348, "HU", "匈牙利"},
    CountryEntry{352, "IS", "冰岛"},       CountryEntry{356, "IN", "印度"},
    CountryEntry{360, "ID", "印度尼西亚"}, CountryEntry{364, "IR", "伊朗"},
    CountryEntry{368, "IQ", "伊拉克"},     CountryEntry{372, "IE", "爱尔兰"},
    CountryEntry{376, "IL", "以色列"},     CountryEntry{380, "IT", "意大利"},
    CountryEntry{384, "CI", "科特迪瓦"},   CountryEntry{392, "JP", "日本"},
    CountryEntry{398, "KZ", "哈萨克斯坦"}, CountryEntry{400, "JO", "约旦"},
    CountryEntry{404, "KE", "肯尼亚"},     CountryEntry{408, "KP", "朝鲜"},
    CountryEntry{410, "KR", "韩国"},       CountryEntry{414, "KW", "科威特"},
    CountryEntry{418, "LA", "老挝"},       CountryEntry{422, "LB", "黎巴嫩"},
    CountryEntry{428, "LV", "拉脱维亚"},   CountryEntry{434, "LY", "利比亚"},
    CountryEntry{440, "LT", "立陶宛"},     CountryEntry{442, "LU", "卢森堡"},
    CountryEntry{446, "MO", "中国澳门"},   CountryEntry{458, "MY", "马来西亚"},
    CountryEntry{462, "MV", "马尔代夫"},   CountryEntry{470, "MT", "马耳他"},
    CountryEntry{484, "MX", "墨西哥"},     CountryEntry{496, "MN", "蒙古"},
    CountryEntry{504, "MA", "摩洛哥"},     CountryEntry{512, "OM", "阿曼"},
    CountryEntry{524, "NP", "尼泊尔"},     CountryEntry{528, "NL", "荷兰"},
    CountryEntry{554, "NZ", "新西兰"},     CountryEntry{566, "NG", "尼日利亚"},
    CountryEntry{578, "NO", "挪威"},       CountryEntry{586, "PK", "巴基斯坦"},
    CountryEntry{604, "PE", "秘鲁"},       CountryEntry{608, "PH", "菲律宾"},
    CountryEntry{616, "PL", "波兰"},       CountryEntry{620, "PT", "葡萄牙"},
    CountryEntry{634, "QA", "卡塔尔"},     CountryEntry{642, "RO", "罗马尼亚"},
    CountryEntry{643, "RU", "俄罗斯"},     CountryEntry{682, "SA", "沙特阿拉伯"},
    CountryEntry{686, "SN", "塞内加尔"},   CountryEntry{702, "SG", "新加坡"},
    CountryEntry{703, "SK", "斯洛伐克"},   CountryEntry{704, "VN", "越南"},
    CountryEntry{705, "SI", "斯洛文尼亚"}, CountryEntry{710, "ZA", "南非"},
    CountryEntry{724, "ES", "西班牙"},     CountryEntry{752, "SE", "瑞典"},
    CountryEntry{756, "CH", "瑞士"},       CountryEntry{760, "SY", "叙利亚"},
    CountryEntry{764, "TH", "泰国"},       CountryEntry{784, "AE", "阿联酋"},
    CountryEntry{788, "TN", "突尼斯"},     CountryEntry{792, "TR", "土耳其"},
    CountryEntry{800, "UG", "乌干达"},     CountryEntry{804, "UA", "乌克兰"},
    CountryEntry{818, "EG", "埃及"},       CountryEntry{826, "GB", "英国"},
    CountryEntry{834, "TZ", "坦桑尼亚"},   CountryEntry{840, "US", "美国"},
    CountryEntry{858, "UY", "乌拉圭"},     CountryEntry{860, "UZ", "乌兹别克斯坦"},
    CountryEntry{862, "VE", "委内瑞拉"},
};

// Binary search needs the order: a misplaced entry would hide its neighbours.
constexpr auto kByNumber = [](const auto& a, const auto& b) { return a.number < b.number; };
static_assert(std::is_sorted(kCurrencies.begin(), kCurrencies.end(), kByNumber));
static_assert(std::is_sorted(kCountries.begin(), kCountries.end(), kByNumber));

template <typename Entry, size_t N>
const Entry* FindByNumber(const std::array<Entry, N>& table, uint16_t number) {
    const auto it = std::lower_bound(table.begin(), table.end(), number,
                                     [](const Entry& e, uint16_t n) { return e.number < n; });
    return it != table.end() && it->number == number ? &*it : nullptr;
}

}  // namespace

const CurrencyEntry* FindCurrency(uint16_t number) {
    return FindByNumber(kCurrencies, number);
}

const CountryEntry* FindCountry(uint16_t number) {
    return FindByNumber(kCountries, number);
}
