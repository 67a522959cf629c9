#include "controls/AttributeEditor.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "controls/ControlCatalogue.h"
#include "controls/ControlXml.h"
#include "controls/controls_ids.h"

namespace {

constexpr const wchar_t* kRowClass = L"DuoTextBox";
constexpr const wchar_t* kAreaClass = L"DuoTextBoxContainer";
constexpr const wchar_t* kComboOwnerProperty = L"Quorrel.TypeList";

std::wstring windowText(HWND window) {
    if (window == nullptr) return {};
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

int clientWidth(HWND window) {
    RECT rc{};
    ::GetClientRect(window, &rc);
    return rc.right - rc.left;
}

int clientHeight(HWND window) {
    RECT rc{};
    ::GetClientRect(window, &rc);
    return rc.bottom - rc.top;
}

// The panel's dialog font, so that the rows read like the rest of the panel.
HFONT panelFont(HWND area) {
    HWND panel = area != nullptr ? ::GetParent(area) : nullptr;
    auto font = reinterpret_cast<HFONT>(panel != nullptr ? ::SendMessageW(panel, WM_GETFONT, 0, 0) : 0);
    return font != nullptr ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

// The area's and the rows' background: the fixed grey, or the editor's while it is dark.
void paintBackground(HWND window, HDC dc, const ui::Theme& theme, ui::BrushCache& brushes) {
    RECT rc{};
    ::GetClientRect(window, &rc);
    ::FillRect(dc, &rc, brushes.get(theme.pick(controls::kBackground, &ui::Palette::background)));
}

}  // namespace

// ---------------------------------------------------------------- type list

ControlTypeList::~ControlTypeList() { destroy(); }

void ControlTypeList::attach(HINSTANCE instance, HWND parent) {
    Window::attach(instance, parent);
    hwnd_ = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST,
                              0, metrics_.typeListTop, metrics_.typeListWidth, metrics_.typeListDropHeight, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_CONTROLS_TYPE_LIST)), instance, nullptr);
    if (hwnd_ == nullptr) {
        ui::reportWindowCreationFailure(parent, L"combobox", ::GetLastError());
        return;
    }
    ::SetPropW(hwnd_, kComboOwnerProperty, this);
    previousProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlTypeList::forwardingProc)));
    makeFont();
}

void ControlTypeList::setMetrics(const controls::AttributeMetrics& metrics) {
    metrics_ = metrics;
    makeFont();
}

void ControlTypeList::makeFont() {
    if (hwnd_ == nullptr) return;
    auto current = reinterpret_cast<HFONT>(::SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    if (current == nullptr) current = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    LOGFONTW lf{};
    ::GetObjectW(current, sizeof(lf), &lf);
    lf.lfHeight = metrics_.typeListFontHeight;
    lf.lfWidth = 0;
    lf.lfWeight = FW_NORMAL;
    std::wcsncpy(lf.lfFaceName, L"Courier New", LF_FACESIZE - 1);
    win::Font font(::CreateFontIndirectW(&lf));
    if (!font) return;
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    font_ = std::move(font);  // the old one only after the box let go of it
}

LRESULT CALLBACK ControlTypeList::forwardingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        auto* self = static_cast<ControlTypeList*>(::GetPropW(window, kComboOwnerProperty));
        if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
        const WNDPROC previous = self->previousProc_;
        if (message == WM_NCDESTROY) {
            ::RemovePropW(window, kComboOwnerProperty);
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            if (self->hwnd_ == window) self->hwnd_ = nullptr;
        }
        return ::CallWindowProcW(previous, window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

void ControlTypeList::destroy() {
    items_.clear();
    if (hwnd_ != nullptr) {
        HWND window = hwnd_;
        hwnd_ = nullptr;
        if (::IsWindow(window)) ::DestroyWindow(window);
    }
}

void ControlTypeList::addItem(const std::wstring& name, const std::wstring& shown) {
    items_.push_back(name);
    if (hwnd_ == nullptr) return;
    const std::wstring& text = shown.empty() ? name : shown;
    const LRESULT index = ::SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0) ::SendMessageW(hwnd_, CB_SETITEMDATA, static_cast<WPARAM>(index), index + 1);
}

void ControlTypeList::clear() {
    items_.clear();
    if (hwnd_ != nullptr) ::SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
}

int ControlTypeList::count() const {
    return hwnd_ != nullptr ? static_cast<int>(::SendMessageW(hwnd_, CB_GETCOUNT, 0, 0)) : 0;
}

int ControlTypeList::selectedIndex() const {
    return hwnd_ != nullptr ? static_cast<int>(::SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)) : CB_ERR;
}

std::wstring ControlTypeList::selectedText() const {
    const int index = selectedIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return {};
    return items_[static_cast<std::size_t>(index)];
}

void ControlTypeList::select(int index, bool exact) {
    if (hwnd_ == nullptr) return;
    if (!exact) {
        const int n = count();
        if (n <= 0) return;
        index = std::min(index, n - 1);
    }
    ::SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ControlTypeList::findExact(const std::wstring& text) const {
    if (hwnd_ == nullptr || text.empty()) return -1;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (controls::equalsIgnoringAsciiCase(items_[i], text)) return static_cast<int>(i);
    }
    return -1;
}

void ControlTypeList::resizeTo(int left, int /*top*/, int right, int /*bottom*/) {
    if (hwnd_ == nullptr) return;
    moveToBounds(RECT{left, metrics_.typeListTop, right, metrics_.typeListTop + metrics_.typeListDropHeight});
}

// ---------------------------------------------------------------- one row

AttributeRow::~AttributeRow() { destroy(); }

void AttributeRow::unregisterClass(HINSTANCE instance) { ::UnregisterClassW(kRowClass, instance); }

const controls::AttributeMetrics& AttributeRow::metrics() const {
    static const controls::AttributeMetrics kAt96;
    return metrics_ != nullptr ? *metrics_ : kAt96;
}

void AttributeRow::attach(HINSTANCE instance, HWND parent) {
    Window::attach(instance, parent);
    const controls::AttributeMetrics& m = metrics();
    // Each row paints its own background: no class background.
    hwnd_ = createChild(kRowClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, m.rowTop(index_, 0),
                        clientWidth(parent), m.rowHeight);
    if (hwnd_ == nullptr) return;
    label_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_DISABLED | ES_AUTOHSCROLL, 0, 0,
                               m.labelWidth, m.rowHeight, hwnd_, nullptr, instance, nullptr);
    if (label_ != nullptr) ::SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(panelFont(parent)), FALSE);
}

void AttributeRow::destroy() {
    if (hwnd_ == nullptr) return;
    HWND window = hwnd_;
    // Children go with the row window.
    if (::IsWindow(window)) ::DestroyWindow(window);
    hwnd_ = nullptr;
    label_ = nullptr;
    value_ = nullptr;
}

void AttributeRow::setupText(const std::wstring& tag, const std::wstring& value) {
    if (hwnd_ == nullptr) return;
    ::SetWindowTextW(label_, tag.c_str());
    dropDown_ = false;
    // Values such as actions, conditions and paths are often longer than the
    // box is wide: the box scrolls sideways instead of refusing text.
    const controls::AttributeMetrics& m = metrics();
    value_ = ::CreateWindowExW(
        0, L"EDIT", value.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, m.labelWidth, 0,
        std::max(clientWidth(parent_) - m.labelWidth, 0), m.rowHeight, hwnd_, nullptr, instance_, nullptr);
    if (value_ == nullptr) {
        ui::reportWindowCreationFailure(parent_, kRowClass, ::GetLastError());
        return;
    }
    ::SendMessageW(value_, WM_SETFONT, reinterpret_cast<WPARAM>(panelFont(parent_)), FALSE);
}

void AttributeRow::setupDropDown(const std::wstring& tag, const std::vector<std::wstring>& options,
                                 const std::wstring& value) {
    if (hwnd_ == nullptr) return;
    ::SetWindowTextW(label_, tag.c_str());
    dropDown_ = true;
    const controls::AttributeMetrics& m = metrics();
    value_ = ::CreateWindowExW(0, L"COMBOBOX", L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                               m.labelWidth, 0, std::max(clientWidth(parent_) - m.labelWidth, 0), m.rowDropHeight,
                               hwnd_, nullptr, instance_, nullptr);
    if (value_ == nullptr) {
        ui::reportWindowCreationFailure(parent_, L"combobox", ::GetLastError());
        return;
    }
    ::SendMessageW(value_, WM_SETFONT, reinterpret_cast<WPARAM>(panelFont(parent_)), FALSE);
    for (const std::wstring& option : options) {
        ::SendMessageW(value_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(option.c_str()));
    }
    ::SetWindowTextW(value_, value.c_str());
}

void AttributeRow::resizeTo(int left, int right, int scrollOffsetPixels) {
    if (hwnd_ == nullptr) return;
    const controls::AttributeMetrics& m = metrics();
    const int width = std::max(right - left, 0);
    ::MoveWindow(hwnd_, left, m.rowTop(index_, scrollOffsetPixels), width, m.rowHeight, TRUE);
    if (label_ != nullptr) ::MoveWindow(label_, 0, 0, m.labelWidth, m.rowHeight, TRUE);
    if (value_ != nullptr) {
        ::MoveWindow(value_, m.labelWidth, 0, std::max(width - m.labelWidth, 0),
                     dropDown_ ? m.rowDropHeight : m.rowHeight, TRUE);
    }
}

void AttributeRow::windowGone() {
    hwnd_ = nullptr;
    label_ = nullptr;  // destroyed with the row
    value_ = nullptr;
}

LRESULT AttributeRow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (value_ != nullptr && reinterpret_cast<HWND>(lParam) == value_ && controls::isValueChange(HIWORD(wParam))) {
            return ::SendMessageW(parent_, WM_COMMAND, wParam, lParam);
        }
        break;
    case WM_NOTIFY:
        return ::SendMessageW(parent_, WM_NOTIFY, wParam, lParam);
    case WM_ERASEBKGND:
        paintBackground(hwnd_, reinterpret_cast<HDC>(wParam), theme(), brushes_);
        return 1;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        // The tag (a disabled edit) and the value, while the editor is dark.
        if (HBRUSH brush = ui::darkControlColours(theme(), message, reinterpret_cast<HDC>(wParam), brushes_)) {
            return reinterpret_cast<LRESULT>(brush);
        }
        break;
    case WM_SIZE:
    case WM_MOVE:
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

// ---------------------------------------------------------------- the area

AttributeArea::~AttributeArea() { destroy(); }

void AttributeArea::unregisterClass(HINSTANCE instance) { ::UnregisterClassW(kAreaClass, instance); }

void AttributeArea::attach(HINSTANCE instance, HWND parent) {
    Window::attach(instance, parent);
    scroll_.reset();
    scroll_.setUnit(metrics_.scrollUnit);
    hwnd_ =
        createChild(kAreaClass, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN, 0, metrics_.areaTop,
                    clientWidth(parent), std::max(clientHeight(parent) - metrics_.areaTop, 0), IDC_CONTROLS_ATTRIBUTES);
    if (hwnd_ == nullptr) return;
    // Pressing the mouse on the area itself (not on a row) reports a begin-drag to the panel.
    ::MakeDragList(hwnd_);
    updateScrollRange();
}

void AttributeArea::destroy() {
    removeAllRows();
    if (hwnd_ != nullptr) {
        HWND window = hwnd_;
        hwnd_ = nullptr;
        if (::IsWindow(window)) ::DestroyWindow(window);
    }
    scroll_.reset();
}

void AttributeArea::removeAllRows() {
    currentLabel_ = nullptr;
    currentValue_ = nullptr;
    rows_.clear();  // each row destroys its windows
}

AttributeRow* AttributeArea::addRow() {
    if (hwnd_ == nullptr) return nullptr;
    auto row = std::make_unique<AttributeRow>(static_cast<int>(rows_.size()), &metrics_);
    row->setTheme(theme_);
    row->attach(instance_, hwnd_);
    if (row->handle() == nullptr) return nullptr;
    rows_.push_back(std::move(row));
    return rows_.back().get();
}

void AttributeArea::addTextRow(const std::wstring& tag, const std::wstring& value) {
    AttributeRow* row = addRow();
    if (row == nullptr) return;
    row->setupText(tag, value);
    row->resizeTo(0, clientWidth(hwnd_), scroll_.offsetPixels());
    updateScrollRange();
}

void AttributeArea::addDropDownRow(const std::wstring& tag, const std::vector<std::wstring>& options,
                                   const std::wstring& value) {
    AttributeRow* row = addRow();
    if (row == nullptr) return;
    row->setupDropDown(tag, options, value);
    row->resizeTo(0, clientWidth(hwnd_), scroll_.offsetPixels());
    updateScrollRange();
}

void AttributeArea::resizeTo(int left, int /*top*/, int right, int bottom) {
    if (hwnd_ == nullptr) return;
    moveToBounds(RECT{left, metrics_.areaTop, right, std::max(bottom, metrics_.areaTop)});
    updateScrollRange();
    layoutRows();
}

void AttributeArea::setMetrics(const controls::AttributeMetrics& metrics) {
    metrics_ = metrics;
    scroll_.setUnit(metrics_.scrollUnit);
}

void AttributeArea::layoutRows() {
    const int width = clientWidth(hwnd_);
    for (auto& row : rows_) row->resizeTo(0, width, scroll_.offsetPixels());
}

void AttributeArea::updateScrollRange() {
    if (hwnd_ == nullptr) return;
    const int widthBefore = clientWidth(hwnd_);
    const int positionBefore = scroll_.position();
    scroll_.setRange(metrics_.contentHeight(static_cast<int>(rows_.size())), clientHeight(hwnd_));
    ::SetScrollRange(hwnd_, SB_VERT, 0, scroll_.maximum(), FALSE);
    ::SetScrollPos(hwnd_, SB_VERT, scroll_.position(), TRUE);
    // The bar appearing or going changes the width; a smaller range may pull the rows down.
    if (clientWidth(hwnd_) != widthBefore || scroll_.position() != positionBefore) layoutRows();
}

void AttributeArea::onScroll(int request) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    ::GetScrollInfo(hwnd_, SB_VERT, &info);
    const int delta = scroll_.scroll(request, info.nTrackPos);
    if (delta == 0) return;
    ::ScrollWindow(hwnd_, 0, -scroll_.unit() * delta, nullptr, nullptr);
    ::SetScrollPos(hwnd_, SB_VERT, scroll_.position(), TRUE);
    ::UpdateWindow(hwnd_);
}

std::wstring AttributeArea::tagText(HWND label) const { return windowText(label != nullptr ? label : currentLabel_); }

bool AttributeArea::valueText(std::wstring& out, HWND value) const {
    HWND window = value != nullptr ? value : currentValue_;
    out.clear();
    if (window == nullptr) return false;
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    if (_wcsicmp(className, L"ComboBox") != 0) {
        out = windowText(window);
        return false;
    }
    const LRESULT selected = ::SendMessageW(window, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) {
        out = windowText(window);
        return true;
    }
    const LRESULT length = ::SendMessageW(window, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0);
    if (length == CB_ERR || length < 0) {
        out = windowText(window);
        return true;
    }
    std::wstring entry(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(window, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(entry.data()));
    entry.resize(std::wcslen(entry.c_str()));
    out = entry;
    return true;
}

std::wstring AttributeArea::controlXml() const {
    std::vector<controls::TagValue> pairs;
    pairs.reserve(rows_.size());
    for (const auto& row : rows_) {
        std::wstring value;
        valueText(value, row->valueWindow());
        pairs.emplace_back(tagText(row->labelWindow()), value);
    }
    return controls::controlXml(pairs);
}

LRESULT AttributeArea::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const auto sender = reinterpret_cast<HWND>(lParam);
        if (sender != nullptr && controls::isValueChange(HIWORD(wParam))) {
            for (const auto& row : rows_) {
                if (row->valueWindow() != sender) continue;
                currentValue_ = sender;
                currentLabel_ = row->labelWindow();
                return ::SendMessageW(parent_, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(hwnd_));
            }
        }
        break;
    }
    case WM_NOTIFY:
        return ::SendMessageW(parent_, WM_NOTIFY, wParam, lParam);
    case WM_VSCROLL:
        onScroll(LOWORD(wParam));
        return 0;
    case WM_ERASEBKGND:
        paintBackground(hwnd_, reinterpret_cast<HDC>(wParam), theme(), brushes_);
        return 1;
    case WM_SIZE:
    case WM_MOVE:
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}
