#include "common/page.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "common/hex_codec.h"

namespace {

template <typename T>
T* FindById(std::vector<T>& items, std::string_view id) {
    const auto it =
        std::find_if(items.begin(), items.end(), [&](const T& item) { return item.id == id; });
    return it == items.end() ? nullptr : &*it;
}

template <typename T>
T& GetById(std::vector<T>& items, std::string_view id) {
    if (T* item = FindById(items, id)) {
        return *item;
    }
    // A page asking for a control it never declared is a programming error, not user input.
    throw std::logic_error("page has no control named " + std::string(id));
}

}  // namespace

CPage::CPage(std::string name, std::string tab_caption)
    : m_name(std::move(name)), m_tabCaption(std::move(tab_caption)) {}

const Field* CPage::FindField(std::string_view id) const {
    return FindById(const_cast<std::vector<Field>&>(m_fields), id);
}

const OptionGroup* CPage::FindOption(std::string_view id) const {
    return FindById(const_cast<std::vector<OptionGroup>&>(m_options), id);
}

const Button* CPage::FindButton(std::string_view id) const {
    return FindById(const_cast<std::vector<Button>&>(m_buttons), id);
}

void CPage::Type(std::string_view field_id, std::string text) {
    Field& field = MutableField(field_id);
    field.text = std::move(text);
    OnFieldChanged(field.id);
}

void CPage::Choose(std::string_view group_id, int index) {
    OptionGroup& group = MutableOption(group_id);
    if (index < 0 || index >= static_cast<int>(group.choices.size())) {
        throw std::out_of_range("no choice " + std::to_string(index) + " in " + group.id);
    }
    group.selected = index;
    OnOptionChosen(group.id);
}

ActionResult CPage::Press(std::string_view button_id, CProgress* progress) {
    const Button& button = MutableButton(button_id);
    m_written.clear();
    // Reset on every way out, an exception from a faulty handler included.
    struct InAction {
        CPage& page;
        InAction(CPage& p, CProgress* progress) : page(p) {
            page.m_inAction = true;
            page.m_progress = progress;
        }
        ~InAction() {
            page.m_inAction = false;
            page.m_progress = nullptr;
        }
    } in_action(*this, progress);
    if (progress == nullptr) {
        return button.handler();
    }
    // A cancelled action may have written part of its work (a label, a half-done result): the
    // form goes back to what it was, so that cancelling never loses or changes anything.
    std::vector<Field> before = m_fields;
    ActionResult result = button.handler();
    if (progress->Cancelled()) {
        m_fields = std::move(before);
        m_written.clear();
        return std::nullopt;
    }
    return result;
}

std::string CPage::EnterAction(std::string_view field_id) const {
    const auto first_enabled = [this](const std::vector<std::string>& ids) -> std::string {
        for (const std::string& id : ids) {
            if (const Button* button = FindButton(id); button != nullptr && button->enabled) {
                return id;
            }
        }
        return {};
    };
    const auto holds = [&](const Section& section) {
        const auto has = [](const std::vector<std::string>& ids, std::string_view id) {
            return std::find(ids.begin(), ids.end(), id) != ids.end();
        };
        if (has(section.fields, field_id)) {
            return true;
        }
        return std::any_of(section.options.begin(), section.options.end(),
                           [&](const std::string& group) {
                               const OptionGroup* option = FindOption(group);
                               return option != nullptr && option->field == field_id;
                           });
    };
    for (const Section& section : m_sections) {
        if (!holds(section)) {
            continue;
        }
        if (!section.enter.empty()) {
            return first_enabled(section.enter);
        }
        return section.buttons.empty() ? std::string() : first_enabled({section.buttons.front()});
    }
    return {};
}

std::vector<std::string> CPage::WrittenFields() const {
    std::vector<std::string> written;
    for (const Field& field : m_fields) {
        if (std::find(m_written.begin(), m_written.end(), field.id) != m_written.end()) {
            written.push_back(field.id);
        }
    }
    return written;
}

Field& CPage::AddField(Field field) {
    m_fields.push_back(std::move(field));
    return m_fields.back();
}

OptionGroup& CPage::AddOption(OptionGroup group) {
    m_options.push_back(std::move(group));
    return m_options.back();
}

Button& CPage::AddButton(std::string id, std::string caption,
                         std::function<ActionResult()> handler) {
    m_buttons.push_back(Button{std::move(id), std::move(caption), true, std::move(handler), {}});
    return m_buttons.back();
}

void CPage::AddSection(Section section) {
    m_sections.push_back(std::move(section));
}

void CPage::OnFieldChanged(const std::string& field_id) {
    if (MutableField(field_id).counter_rule == CounterRule::Bytes) {
        UpdateByteCounter(field_id);
    }
}

void CPage::OnOptionChosen(const std::string&) {}

const std::string& CPage::Text(std::string_view field_id) const {
    return const_cast<CPage*>(this)->MutableField(field_id).text;
}

void CPage::SetText(std::string_view field_id, std::string text) {
    Field& field = MutableField(field_id);
    field.text = std::move(text);
    if (m_inAction && std::find(m_written.begin(), m_written.end(), field.id) == m_written.end()) {
        m_written.push_back(field.id);
    }
    OnFieldChanged(field.id);
}

void CPage::SetLabel(std::string_view field_id, std::string label) {
    MutableField(field_id).label = std::move(label);
}

void CPage::SetCounter(std::string_view field_id, std::string counter) {
    MutableField(field_id).counter = std::move(counter);
}

void CPage::SetEnabled(std::string_view field_id, bool enabled) {
    MutableField(field_id).enabled = enabled;
}

void CPage::SetVisible(std::string_view field_id, bool visible) {
    MutableField(field_id).visible = visible;
}

void CPage::SetReadOnly(std::string_view field_id, bool read_only) {
    MutableField(field_id).read_only = read_only;
}

int CPage::Option(std::string_view group_id) const {
    return const_cast<CPage*>(this)->MutableOption(group_id).selected;
}

void CPage::SetOption(std::string_view group_id, int index) {
    MutableOption(group_id).selected = index;
}

void CPage::SetButtonCaption(std::string_view button_id, std::string caption) {
    MutableButton(button_id).caption = std::move(caption);
}

void CPage::SetButtonEnabled(std::string_view button_id, bool enabled) {
    MutableButton(button_id).enabled = enabled;
}

void CPage::UpdateByteCounter(std::string_view field_id) {
    Field& field = MutableField(field_id);
    field.counter = FormatCount(static_cast<long long>(RemoveBlanks(field.text).size() / 2));
}

void CPage::SyncKeyTypeRadios(std::string_view group_id, int key_bytes, std::array<int, 3> counts) {
    const auto it = std::find(counts.begin(), counts.end(), key_bytes);
    SetOption(group_id, it == counts.end() ? -1 : static_cast<int>(it - counts.begin()));
}

void CPage::ShowResult(std::string_view field_id, std::span<const uint8_t> bytes) {
    const std::string hex = BytesToHex(bytes);
    SetText(field_id, SpacedIfChosen(hex));
    // The counter counts bytes, whatever the spacing.
    SetCounter(field_id, FormatCount(static_cast<long long>(bytes.size())));
}

bool CPage::IsChosen(std::string_view group_id, std::string_view choice_name) const {
    const OptionGroup* group = FindOption(group_id);
    return group != nullptr && group->selected >= 0 &&
           static_cast<size_t>(group->selected) < group->choices.size() &&
           group->choices[static_cast<size_t>(group->selected)].name == choice_name;
}

std::string CPage::SpacedIfChosen(const std::string& hex) const {
    // Found by the choice's name, so a check box (ticked = index 1) and a radio pair ("是" =
    // index 0) both read right.
    return IsChosen("spaced", "yes") ? SpaceHexPairs(hex) : hex;
}

Field& CPage::MutableField(std::string_view id) {
    return GetById(m_fields, id);
}

OptionGroup& CPage::MutableOption(std::string_view id) {
    return GetById(m_options, id);
}

Button& CPage::MutableButton(std::string_view id) {
    return GetById(m_buttons, id);
}

std::string FormatCount(long long n, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*lld", width, n);
    return buffer;
}

std::string SpaceHexPairs(std::string_view hex) {
    std::string spaced;
    spaced.reserve(hex.size() / 2 * 3 + 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        spaced.append(hex.substr(i, 2));
        spaced.push_back(' ');
    }
    return spaced;
}

OptionGroup SpacingOption(std::string caption) {
    return {.id = "spaced",
            .caption = std::move(caption),
            .choices = {{"yes", "是"}, {"no", "否"}},
            .selected = 1};
}

MessageBox ErrorBox(std::string text) {
    return MessageBox{std::move(text), "Error", MessageIcon::Error, MessageKind::Refusal};
}

MessageBox IllegalByteBox(int position, std::string_view suffix) {
    return ErrorBox("The " + std::to_string(position) + std::string(suffix));
}

MessageBox InternalErrorBox(std::string_view page, std::string_view what) {
    return ErrorBox("Internal error in page " + std::string(page) + ": " + std::string(what) +
                    ", Pls report it !!!");
}
