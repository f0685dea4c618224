// CConvertPage: the "数据转换" tab. Text to its hex form and hex back to text, the text taken in
// the GBK code page.
#pragma once

#include "common/page.h"

class CConvertPage : public CPage {
public:
    CConvertPage();

protected:
    void OnFieldChanged(const std::string& field_id) override;
    void OnOptionChosen(const std::string& group_id) override;

private:
    ActionResult OnConvert();
    ActionResult OnClear();
    ActionResult HexToText(const std::string& input, bool spaced);
    ActionResult TextToHex(const std::string& input, bool spaced);
    // ShowLabels names the two fields after the chosen direction.
    void ShowLabels();

    // The choices of "类型", in order; the check box's choices are unticked, ticked.
    enum class Direction { HexToText, TextToHex };
    enum class Ticked { No, Yes };
    OptionOf<Direction> m_direction;
    OptionOf<Ticked> m_spaced;
};

// SpaceTextPairs gives the characters of UTF-8 text two at a time, each pair followed by one
// blank; an odd last character stands alone, followed by one blank. A CR LF line break counts as
// one character, so that it is never split.
std::string SpaceTextPairs(std::string_view utf8);
