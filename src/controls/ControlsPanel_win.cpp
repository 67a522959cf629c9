#include "controls/ControlsPanel.h"

#include <commctrl.h>
#include <ole2.h>

#include "editor/NppEditor_win.h"
#include "controls/controls_ids.h"
#include "settings/SettingsStore.h"
#include "framework/Dpi_win.h"
#include "framework/DragSource_win.h"

namespace {

// Posted to the panel to rebuild its rows after the current message.
constexpr UINT kRebuildRowsMessage = WM_APP + 1;

// After the name of a type that only older releases of the media center read.
constexpr const wchar_t* kOlderMark = L" (older)";

// Sets a flag for the lifetime of the scope, also when the scope is left by an exception.
class FlagScope {
public:
    explicit FlagScope(bool& flag) noexcept : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

ControlsPanel::ControlsPanel() : DockingDlgInterface(IDD_ORMU_CONTROLS, kCommandIndex, L"Ormu Controls") {}

ControlsPanel::~ControlsPanel() {
    attributes_.destroy();
    typeList_.destroy();
    StaticDialog::destroy();
    // Classes a library registers outlive it unless it unregisters them; a
    // reloaded library must not find procedures of its unloaded copy.
    if (instance_ != nullptr) {
        AttributeRow::unregisterClass(instance_);
        AttributeArea::unregisterClass(instance_);
    }
}

void ControlsPanel::init(IModel* model, EditorEventHub* hub, SettingsStore* store) {
    if (editor_ != nullptr) attach(editor_->module(), editor_->hostWindow());
    IController::init(model, hub, store);
    dragMessage_ = ui::dragListMessage();
    // Made once and reused for every drag.
    dragData_.reset(new DragDataObject());
    dragSource_.reset(new DropSource());
}

void ControlsPanel::attachedToSettings(SettingsStore* store) {
    IController::attachedToSettings(store);
    if (store == nullptr) return;
    settings_keys::registerBool(*store, *this, settings_keys::kLoadIncludes, loadIncludes_);
    settings_keys::registerBool(*store, *this, settings_keys::kLoadImages, loadImages_);
}

void ControlsPanel::settingsChanged(const std::wstring& group, const std::wstring& key) {
    if (settings_ == nullptr || group != settings_keys::kGroup) return;
    if (key == settings_keys::kLoadIncludes) {
        loadIncludes_ = settings_->getBool(group, key);
    } else if (key == settings_keys::kLoadImages) {
        loadImages_ = settings_->getBool(group, key);
    }
}

void ControlsPanel::modelModified() {
    if (markedShown()) fillTypeList();
}

void ControlsPanel::display(bool show) {
    DockingDlgInterface::display(show);
    markShown(show);
    if (show) fillTypeList();
}

void ControlsPanel::caretMoved() {
    if (editor_ == nullptr || !editor_->isCommandChecked(kCommandIndex)) markShown(false);
    if (caretHandler_ != nullptr) caretHandler_->caretMoved();
}

void ControlsPanel::bufferActivated() {
    if (rowSource_ != nullptr) rowSource_->documentActivated();
    if (caretHandler_ != nullptr) caretHandler_->bufferActivated();
}

void ControlsPanel::documentChanged(std::ptrdiff_t position) {
    if (caretHandler_ != nullptr) caretHandler_->documentChanged(position);
}

void ControlsPanel::fillTypeList() {
    typeList_.clear();
    for (const ControlCatalogue::TypeEntry& type : catalogue_.types()) {
        typeList_.addItem(type.name,
                          type.standing == ControlCatalogue::Standing::Older ? type.name + kOlderMark : type.name);
    }
}

bool ControlsPanel::selectTypeByName(const std::wstring& name) {
    int index = typeList_.findExact(name);
    if (index < 0 && catalogue_.hasType(name)) {
        // The unlisted type of the control just read joins the list.
        fillTypeList();
        index = typeList_.findExact(name);
    }
    if (index < 0) return false;
    typeList_.select(index, true);
    chooseType(typeList_.selectedText());
    return true;
}

void ControlsPanel::chooseType(const std::wstring& name) {
    if (controls::equalsIgnoringAsciiCase(name, currentType_)) return;
    currentType_ = name;

    // Setting the rows' texts raises change notifications; they are not edits.
    FlagScope busy(rebuilding_);
    attributes_.removeAllRows();
    attributes_.destroy();
    attributes_.attach(instance_, hwnd_);  // empty, scrolled to the top

    catalogue_.setCurrentType(name);
    if (rowSource_ != nullptr) rowSource_->rowsStarting();
    for (const auto& [tag, value] : catalogue_.rowsOf(name)) {
        const skin::vocab::Element* element = catalogue_.elementOf(name, tag);
        const RowChoice choice =
            rowSource_ != nullptr ? rowSource_->rowFor(tag, element) : controls::valueChoice(element);
        if (choice.kind == RowKind::Text) {
            attributes_.addTextRow(tag, value);
        } else {
            attributes_.addDropDownRow(tag, choice.options, value);
        }
    }
    layout();
}

void ControlsPanel::layout() {
    if (hwnd_ == nullptr) return;
    RECT rc{};
    ::GetClientRect(hwnd_, &rc);
    typeList_.resizeTo(rc.left, rc.top, rc.right, rc.bottom);
    const controls::AttributeMetrics metrics = controls::AttributeMetrics::at(ui::windowDpi(hwnd_));
    const LONG statusTop =
        rc.bottom - metrics.statusHeight > metrics.areaTop ? rc.bottom - metrics.statusHeight : rc.bottom;
    attributes_.resizeTo(rc.left, rc.top, rc.right, statusTop);
    if (statusLine_ != nullptr) {
        ::MoveWindow(statusLine_, rc.left + 2, statusTop, rc.right - rc.left - 4, rc.bottom - statusTop, TRUE);
    }
}

void ControlsPanel::rebuildRowsLater(const std::wstring& type) {
    pendingType_ = type;
    if (hwnd_ != nullptr) ::PostMessageW(hwnd_, kRebuildRowsMessage, 0, 0);
}

void ControlsPanel::setStatus(const std::wstring& text) {
    if (statusLine_ == nullptr || status() == text) return;
    ::SetWindowTextW(statusLine_, text.c_str());
}

std::wstring ControlsPanel::status() const {
    if (statusLine_ == nullptr) return {};
    const int length = ::GetWindowTextLengthW(statusLine_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(statusLine_, text.data(), length + 1)));
    return text;
}

void ControlsPanel::applyDpi() {
    const controls::AttributeMetrics metrics = controls::AttributeMetrics::at(ui::windowDpi(hwnd_));
    typeList_.setMetrics(metrics);
    attributes_.setMetrics(metrics);
}

void ControlsPanel::onDpiChanged() {
    applyDpi();
    layout();
}

void ControlsPanel::onValueEdited() {
    if (rebuilding_) return;
    FlagScope reporting(reportingEdit_);
    const std::wstring tag = attributes_.tagText();
    std::wstring value;
    const bool dropDown = attributes_.valueText(value);
    if (dropDown && rowSource_ != nullptr) rowSource_->choiceMade(tag, value);
    if (editSink_ != nullptr) editSink_->tagEdited(tag, value);
}

void ControlsPanel::startDrag() {
    const std::wstring text = attributes_.controlXml();
    if (text.empty() || !dragData_ || !dragSource_) return;
    if (!dragData_->setDragText(text)) return;
    DWORD effect = DROPEFFECT_NONE;
    ::DoDragDrop(dragData_.get(), dragSource_.get(), DROPEFFECT_COPY, &effect);
}

INT_PTR ControlsPanel::dialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (dragMessage_ != 0 && message == dragMessage_) {
        const auto* info = reinterpret_cast<const DRAGLISTINFO*>(lParam);
        if (info != nullptr && info->uNotification == DL_BEGINDRAG) startDrag();
        // 0: the drag list must not start a drag of its own.
        ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    switch (message) {
    case WM_INITDIALOG:
        typeList_.setTheme(theme_);
        attributes_.setTheme(theme_);
        applyDpi();
        typeList_.attach(instance_, hwnd_);
        attributes_.attach(instance_, hwnd_);
        statusLine_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                                        hwnd_, nullptr, instance_, nullptr);
        if (statusLine_ != nullptr) {
            ::SendMessageW(statusLine_, WM_SETFONT, ::SendMessageW(hwnd_, WM_GETFONT, 0, 0), FALSE);
        }
        layout();
        return TRUE;
    case kRebuildRowsMessage:
        if (!pendingType_.empty()) {
            const std::wstring type = pendingType_;
            pendingType_.clear();
            forgetCurrentType();
            selectTypeByName(type);
        }
        return TRUE;
    case WM_SIZE:
    case WM_MOVE:
        layout();
        return TRUE;
    case WM_COMMAND: {
        const auto sender = reinterpret_cast<HWND>(lParam);
        if (sender != nullptr && sender == typeList_.handle() && HIWORD(wParam) == CBN_SELENDOK) {
            chooseType(typeList_.selectedText());
            if (caretHandler_ != nullptr) caretHandler_->typeChosen();
            return TRUE;
        }
        if (sender != nullptr && sender == attributes_.handle() && controls::isValueChange(HIWORD(wParam))) {
            onValueEdited();
            return TRUE;
        }
        break;
    }
    case WM_DESTROY:
        // The rows, the type list and the status line go with the panel's window.
        attributes_.removeAllRows();
        statusLine_ = nullptr;
        break;
    default:
        break;
    }
    return DockingDlgInterface::dialogProc(message, wParam, lParam);
}

void ControlsPanel::setEditor(editor::NppEditor* editor) {
    editor_ = editor;
    setShell(editor);
}
