// CPage: the model of one tab page, and the machinery every page shares.
//
// A page model owns the state of its form (see page_form.h) and its handlers. It never touches a
// widget: the window and the command line call the gestures (Type, Choose, Press) and then read
// the form back. Derived pages build their form in the constructor with AddField, AddOption,
// AddButton and AddSection, and react to changes by overriding OnFieldChanged and OnOptionChosen.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/page_form.h"
#include "common/progress.h"

class CPage {
public:
    CPage(std::string name, std::string tab_caption);
    virtual ~CPage() = default;
    CPage(const CPage&) = delete;
    CPage& operator=(const CPage&) = delete;

    // Name is the command line's page name ("des"); TabCaption the tab's text ("DES 运算").
    const std::string& Name() const { return m_name; }
    const std::string& TabCaption() const { return m_tabCaption; }

    const std::vector<Field>& Fields() const { return m_fields; }
    const std::vector<OptionGroup>& Options() const { return m_options; }
    const std::vector<Button>& Buttons() const { return m_buttons; }
    const std::vector<Section>& Sections() const { return m_sections; }

    // FindField, FindOption and FindButton give nullptr for an unknown id.
    const Field* FindField(std::string_view id) const;
    const OptionGroup* FindOption(std::string_view id) const;
    const Button* FindButton(std::string_view id) const;

    // Type is the user typing or pasting: the field's text is replaced and its change handler
    // runs (counter, key-type radios ...). The caller makes sure the field is editable.
    void Type(std::string_view field_id, std::string text);
    // Choose is the user clicking a radio button, ticking a check box or picking a list entry.
    void Choose(std::string_view group_id, int index);
    // Press is the user pressing a button: its handler runs and gives the message box to show.
    // A long action polls `progress`; when it was cancelled, every field is put back as it was
    // before the press and there is no message.
    ActionResult Press(std::string_view button_id, CProgress* progress = nullptr);
    // EnterAction is the button that Enter in the one-row field presses: the first enabled one of
    // its section's `enter` list (a field inside an option group belongs to the group's section),
    // or the section's first button if the list is empty; empty when there is none.
    std::string EnterAction(std::string_view field_id) const;
    // WrittenFields lists, in form order, the fields whose text the last Press wrote.
    std::vector<std::string> WrittenFields() const;

protected:
    Field& AddField(Field field);
    OptionGroup& AddOption(OptionGroup group);
    Button& AddButton(std::string id, std::string caption, std::function<ActionResult()> handler);
    void AddSection(Section section);

    // OnFieldChanged runs after every change of a field's text, typed or written by the page
    // (as an edit control notifies its page); the default keeps a Bytes counter up to date.
    virtual void OnFieldChanged(const std::string& field_id);
    // OnOptionChosen runs after the user chose in a group (not after SetOption).
    virtual void OnOptionChosen(const std::string& group_id);

    // Reading and writing the form from handlers.
    const std::string& Text(std::string_view field_id) const;
    // SetText writes a field as an action would: the change handler runs and, inside Press, the
    // field counts as written by the action.
    void SetText(std::string_view field_id, std::string text);
    void SetLabel(std::string_view field_id, std::string label);
    void SetCounter(std::string_view field_id, std::string counter);
    void SetEnabled(std::string_view field_id, bool enabled);
    void SetVisible(std::string_view field_id, bool visible);
    void SetReadOnly(std::string_view field_id, bool read_only);
    int Option(std::string_view group_id) const;
    void SetOption(std::string_view group_id, int index);

    // AddOptionOf declares a group whose choices are the values of E in order and gives its handle;
    // Chosen, IsChosen and SetOption read and set the group through it.
    template <typename E>
    OptionOf<E> AddOptionOf(OptionGroup group) {
        return OptionOf<E>(AddOption(std::move(group)).id);
    }
    template <typename E>
    E Chosen(const OptionOf<E>& option) const {
        return static_cast<E>(Option(option.Id()));
    }
    template <typename E>
    bool IsChosen(const OptionOf<E>& option, E value) const {
        return Option(option.Id()) == static_cast<int>(value);
    }
    template <typename E>
    void SetOption(const OptionOf<E>& option, E value) {
        SetOption(option.Id(), static_cast<int>(value));
    }
    void SetButtonCaption(std::string_view button_id, std::string caption);
    void SetButtonEnabled(std::string_view button_id, bool enabled);

    // Shared machinery.
    // UpdateByteCounter writes "%02d" of (the field's text without blanks) / 2 into its counter.
    void UpdateByteCounter(std::string_view field_id);
    // SyncKeyTypeRadios selects the radio of `group_id` whose count equals key_bytes, or none.
    void SyncKeyTypeRadios(std::string_view group_id, int key_bytes, std::array<int, 3> counts);
    // ShowResult writes the bytes as hex into the result field, spaced when the page's "spaced"
    // group has its choice "yes", and "%02d" of the byte count into its counter.
    void ShowResult(std::string_view field_id, std::span<const uint8_t> bytes);
    // SpacedIfChosen gives the hex text spaced (SpaceHexPairs) when "spaced" is "yes".
    std::string SpacedIfChosen(const std::string& hex) const;
    // IsChosen tells whether the group's selected choice has the given name; false for a group
    // the page does not have or with nothing selected.
    bool IsChosen(std::string_view group_id, std::string_view choice_name) const;
    // Progress is the progress object of the running Press, or nullptr.
    CProgress* Progress() const { return m_progress; }
    // SetLongRunning marks an action that a front end should run off its user-interface thread.
    void SetLongRunning(std::string_view button_id) {
        MutableButton(button_id).long_running = true;
    }

    Field& MutableField(std::string_view id);
    OptionGroup& MutableOption(std::string_view id);
    Button& MutableButton(std::string_view id);

private:
    std::string m_name;
    std::string m_tabCaption;
    std::vector<Field> m_fields;
    std::vector<OptionGroup> m_options;
    std::vector<Button> m_buttons;
    std::vector<Section> m_sections;
    std::vector<std::string> m_written;
    bool m_inAction = false;
    CProgress* m_progress = nullptr;
};

// Formatting and message helpers shared by the pages.

// FormatCount gives n in decimal with at least `width` digits, as printf("%0*d") does.
std::string FormatCount(long long n, int width = 2);
// SpaceHexPairs gives each two characters followed by one blank ("0102" -> "01 02 "); an odd last
// character is kept, followed by one blank.
std::string SpaceHexPairs(std::string_view hex);
// SpacingOption is the result-spacing group "spaced" with the given caption: "是" (index 0, each
// byte followed by a blank) or "否" (index 1, the default).
OptionGroup SpacingOption(std::string caption);
// ErrorBox is a refusal with the caption "Error" and the stop icon.
MessageBox ErrorBox(std::string text);
// IllegalByteBox is ErrorBox("The " + position + suffix), the message for a bad hex character.
MessageBox IllegalByteBox(int position, std::string_view suffix);
// InternalErrorBox is what a front end shows when a page action fails by a fault of the program
// (an exception), not of the input: the page and what went wrong, caption "Error", stop icon.
MessageBox InternalErrorBox(std::string_view page, std::string_view what);
// kUnknownFault is the `what` of InternalErrorBox for a thrown value that is not a std::exception.
inline constexpr std::string_view kUnknownFault = "an exception of unknown type";
