// What a page shows: fields, option groups, buttons and the frames that hold them, as plain data.
//
// A page model (CDesPage ...) describes its form with these types and keeps their state; the Qt
// window and the command line bind any page through them without page-specific code.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

// Role of a control, which decides its colours: input blue, key olive, result maroon (all three on
// white), label green, frame orange, option light blue, plain the toolkit's default.
enum class Role { Input, Key, Result, Label, Frame, Option, Plain };

enum class FieldKind {
    SingleLine,  // one row, text centred vertically
    MultiLine,   // several rows with a vertical scroll bar; Enter makes a new line (CR LF)
};

// How a field's byte counter follows its text.
enum class CounterRule {
    None,    // the field has no counter
    Bytes,   // UpdateByteCounter on every change: blanks removed, characters / 2, "%02d"
    Manual,  // the page writes the counter itself (result fields, pages with their own rule)
};

enum class OptionKind { Radio, CheckBox, DropDown };

enum class MessageIcon { None, Error, Question };

// What a message box means to a front end that is not a window: a refusal ends the action (the
// command line writes it to standard error and exits 1); a success or failure is the outcome of
// an action that produced no field, such as a signature verification (standard output, exit 0 or
// 1).
enum class MessageKind { Refusal, Success, Failure };

struct MessageBox {
    std::string text{};
    std::string caption{};
    MessageIcon icon = MessageIcon::Error;
    MessageKind kind = MessageKind::Refusal;

    bool operator==(const MessageBox&) const = default;
};

// ActionResult is what a button handler gives back: the message box to show, if any.
using ActionResult = std::optional<MessageBox>;

struct Field {
    std::string id{};     // the command line's name: "data", "key", "hmac_data"
    std::string label{};  // the text in front of the field; actions may rewrite it
    Role role = Role::Input;
    FieldKind kind = FieldKind::SingleLine;
    CounterRule counter_rule = CounterRule::None;
    bool fixed_font = true;  // hex fields use the fixed-pitch system font
    bool wrap_lines = true;  // a multi-line field without it scrolls sideways (a TLV listing)
    Role label_role = Role::Label;
    std::string
        beside{};  // shown in this field's row, after its counter, instead of a row of its own
    int width_chars = 0;  // a narrow one-row field as wide as this many characters; 0 fills the row
    bool centred = false;  // a short one-row value shown centred in its box

    std::string text{};
    std::string counter{};
    bool enabled = true;
    bool visible = true;
    bool read_only = false;

    bool HasCounter() const { return counter_rule != CounterRule::None; }
    bool HasLabel() const { return !label.empty() || label_role != Role::Plain; }
};

struct Choice {
    std::string name{};     // the command line's name: "ecb", "single", "1024"
    std::string caption{};  // what the window shows: "ECB", "单倍DES运算", "1024 bit"
    Role role = Role::Option;
};

struct OptionGroup {
    std::string id{};       // "mode", "keytype", "spaced"
    std::string caption{};  // frame caption ("运算类型"); a check box has its caption on its choice
    OptionKind kind = OptionKind::Radio;
    std::vector<Choice> choices{};  // CheckBox: choice 0 unticked, choice 1 ticked
    int selected = 0;               // -1 when no radio of the group is selected
    int columns = 0;                // radios per row in the window; 0 puts them all in one row
    Role caption_role = Role::Frame;
    std::string field{};  // a field the window shows inside this group's frame, after its radios
};

// OptionOf<E> is a page's handle on an option group whose choices are the values of the enum E, in
// order (E's value 0 is the first choice). A page reads, sets and recognises the group through the
// handle it got when it declared the group, so a choice it names is an enumerator the compiler
// checks, never a string or an index; names stay for the command line and the views.
template <typename E>
class OptionOf {
    static_assert(std::is_enum_v<E>);

public:
    OptionOf() = default;
    const std::string& Id() const { return m_id; }
    // Is tells whether a change handler's group id names this group.
    bool Is(std::string_view group_id) const { return m_id == group_id; }

private:
    friend class CPage;
    explicit OptionOf(std::string id) : m_id(std::move(id)) {}
    std::string m_id;
};

// The choices of a "是"/"否" radio pair, in that order (the result-spacing groups, SM4's repeat
// run, SM2's public-key generation).
enum class YesNo { Yes, No };

// A choice that a front end without radios makes before anything else when it is asked for an
// action directly (the command line's `sm2 sign` first chooses the operation "签名").
struct FirstChoice {
    std::string group{};
    int index = -1;
};

struct Button {
    std::string id{};       // the command line's action name: "encrypt"
    std::string caption{};  // "加密"
    bool enabled = true;
    std::function<ActionResult()> handler{};
    FirstChoice first_choice{};  // none when group is empty
    // The action may run for long (a repeat run, a key generation): a front end runs it off its
    // user-interface thread with a CProgress it can cancel.
    bool long_running = false;
};

// A frame of the page with what it holds, in the order the window lays it out.
struct Section {
    std::string caption{};  // "DES 通用算法"
    Role caption_role = Role::Frame;
    std::vector<std::string> fields{};
    std::vector<std::string> options{};
    std::vector<std::string> buttons{};
    std::vector<std::string> notes{};  // explanatory lines under the controls
    bool options_first = false;        // the option groups stand above the fields, not below them
    // The actions Enter in a one-row field of this section presses: the first of them that is
    // enabled. Empty: the section's first button. A key generation or a clear never belongs here.
    std::vector<std::string> enter{};
};
