// CTlvPage: the "TLV 运算" tab. Lists BER-TLV card data pasted as hex text, with the tag names.
#pragma once

#include <string>
#include <string_view>

#include "common/page.h"

class CTlvPage : public CPage {
public:
    CTlvPage();

    // PrepareTlvText removes every blank, every tab and every CR LF pair; a lone CR or LF stays.
    static std::string PrepareTlvText(std::string_view text);

private:
    // OnParse lists the data field into the result field, replacing it, and never shows a message.
    // "按数据嵌套": data that is not an exact sequence of objects gives an empty result.
    // "EMV 标准解析": every byte is accounted for, faults included (FormatEmvTlv).
    ActionResult OnParse();

    // The choices of "解析方式", in order.
    enum class Mode { Data, Emv };
    OptionOf<Mode> m_mode;
};
