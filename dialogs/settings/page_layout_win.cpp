#include "dialogs/settings/page_layout_win.h"

#include "app/process_context_win.h"
#include "dialogs/settings/settings_values.h"
#include "support/text_chars.h"
#include "support/ui_text.h"

#include <vector>

namespace tonvale {
namespace {

constexpr int kDropDownFactor = 8;
constexpr LPARAM kNoSection = -1;
constexpr int kMetricCount = 4;
// Gaps and margins at 96 dpi: between items, under titles, inside frames.
constexpr int kDesignMetrics[kMetricCount] = {8, 8, 2, 2};

// How the INI files compare section names.
bool sameIgnoringAsciiCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    return true;
}

bool isComboBox(const DialogControl& control) {
    return lstrcmpiW(control.className, L"ComboBox") == 0;
}

} // namespace

uint32_t listDescriptor(uint32_t flags) {
    return sizeDescriptor(DialogBuilder::scaled(6), DialogBuilder::scaled(6),
                          DialogBuilder::scaled(20), flags);
}

uint32_t editDescriptor(uint32_t flags) {
    return sizeDescriptor(DialogBuilder::scaled(6), DialogBuilder::scaled(6), 0, flags);
}

uint32_t buttonDescriptor(uint32_t flags) {
    return sizeDescriptor(DialogBuilder::scaled(32), DialogBuilder::scaled(10), 0, flags);
}

uint32_t checkDescriptor(uint32_t flags) {
    return DialogBuilder::checkBox() | flags;
}

PageLayout::PageLayout(HWND page, HFONT font)
    : page_(page), font_(font), dc_(page ? page : gProcess.mainWindow, font) {
    for (int i = 0; i < kMetricCount; ++i)
        savedMetrics_[i] = DialogBuilder::setMetric(i, DialogBuilder::scaled(kDesignMetrics[i]));
}

PageLayout::~PageLayout() {
    for (int i = 0; i < kMetricCount; ++i)
        DialogBuilder::setMetric(i, savedMetrics_[i]);
}

LayoutNode* PageLayout::label(int text, uint32_t flags) {
    return builder_.text(measure(), flags, UiText(text), TextPrefix::plain);
}

LayoutNode* PageLayout::labelOf(int text, std::initializer_list<int> alike) {
    std::vector<const wchar_t*> texts;
    for (int other : alike)
        texts.push_back(UiText(other));
    texts.push_back(UiText(text)); // the height is the last text's
    return builder_.widest(measure(), 0, texts.data(), texts.size());
}

LayoutNode* PageLayout::check(int text, uint32_t flags) {
    return builder_.text(measure(), checkDescriptor(flags), UiText(text));
}

LayoutNode* PageLayout::button(int text, uint32_t flags) {
    return builder_.text(measure(), buttonDescriptor(flags), UiText(text));
}

LayoutNode* PageLayout::list(int characters, uint32_t flags) {
    return builder_.chars(measure(), listDescriptor(flags), characters);
}

LayoutNode* PageLayout::edit(int characters, uint32_t flags) {
    return builder_.chars(measure(), editDescriptor(flags), characters);
}

LayoutNode* PageLayout::column(uint32_t flags, int title,
                               std::initializer_list<LayoutNode*> children) {
    return builder_.column(measure(), flags, title == kNoText ? nullptr : UiText(title), children);
}

LayoutNode* PageLayout::row(uint32_t flags, std::initializer_list<LayoutNode*> children) {
    return builder_.row(measure(), flags, nullptr, children);
}

bool PageLayout::finish(LayoutNode* root, const DialogControl* table, LayoutNode* const* nodes,
                        int count, int* width, int* height) {
    if (!valid() || !root)
        return false;
    const int margin = DialogBuilder::metric(DialogBuilder::kRowGap);
    RECT client = {};
    if (page_)
        GetClientRect(page_, &client);
    DialogBuilder::finish(root, margin, margin, client.right - 2 * margin);
    *width = root->width + 2 * margin;
    *height = root->height + 2 * margin;
    if (!page_)
        return true;
    std::vector<LayoutRect> rectangles(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        rectangles[i] = nodes[i]->rect();
        if (isComboBox(table[i]))
            rectangles[i].height *= kDropDownFactor;
    }
    return createControls(page_, table, rectangles.data(), count, font_);
}

bool isChecked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void setChecked(HWND page, int id, bool checked) {
    CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void enableControl(HWND page, int id, bool enabled) {
    EnableWindow(GetDlgItem(page, id), enabled);
}

std::wstring controlText(HWND page, int id) {
    HWND control = GetDlgItem(page, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void setControlText(HWND page, int id, const std::wstring& text) {
    SetDlgItemTextW(page, id, text.c_str());
}

int addEntry(HWND page, int id, const wchar_t* text, LPARAM data) {
    const auto entry = static_cast<int>(
        SendDlgItemMessageW(page, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    if (entry >= 0)
        SendDlgItemMessageW(page, id, CB_SETITEMDATA, static_cast<WPARAM>(entry), data);
    return entry;
}

int selectedEntry(HWND page, int id) {
    return static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0));
}

void selectEntry(HWND page, int id, int entry) {
    SendDlgItemMessageW(page, id, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
}

LPARAM entryData(HWND page, int id, int entry) {
    return SendDlgItemMessageW(page, id, CB_GETITEMDATA, static_cast<WPARAM>(entry), 0);
}

std::wstring entryText(HWND page, int id, int entry) {
    const LRESULT length =
        SendDlgItemMessageW(page, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(entry), 0);
    if (length < 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendDlgItemMessageW(page, id, CB_GETLBTEXT, static_cast<WPARAM>(entry),
                                               reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    return text;
}

void fillSectionList(HWND page, int id, const wchar_t* noneText,
                     const std::optional<TemperamentDigest>& digest) {
    addEntry(page, id, noneText, kNoSection);
    const TemperamentDigest* sections = digest ? &*digest : nullptr;
    for (size_t index : listableSections(sections))
        addEntry(page, id, (*sections)[index].name.c_str(), static_cast<LPARAM>(index));
}

int entryForSection(HWND page, int id, const std::wstring& name) {
    const auto count = static_cast<int>(SendDlgItemMessageW(page, id, CB_GETCOUNT, 0, 0));
    int none = 0;
    int alike = -1;
    for (int entry = 0; entry < count; ++entry) {
        if (entryData(page, id, entry) == kNoSection) {
            none = entry;
            continue;
        }
        const std::wstring text = entryText(page, id, entry);
        if (name.empty())
            continue;
        if (text == name)
            return entry;
        if (alike < 0 && sameIgnoringAsciiCase(text, name))
            alike = entry;
    }
    return alike >= 0 ? alike : none;
}

const DigestEntry* sectionOfEntry(HWND page, int id,
                                  const std::optional<TemperamentDigest>& digest) {
    const int entry = selectedEntry(page, id);
    if (entry < 0 || !digest)
        return nullptr;
    const LPARAM index = entryData(page, id, entry);
    return index >= 0 && static_cast<size_t>(index) < digest->size()
               ? &(*digest)[static_cast<size_t>(index)]
               : nullptr;
}

HWND pageOwner(HWND page) {
    HWND root = GetAncestor(page, GA_ROOT);
    return root ? root : page;
}

} // namespace tonvale
