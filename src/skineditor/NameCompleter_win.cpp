#include "skineditor/NameCompleter_win.h"

#include "editor/NppEditor_win.h"
#include "npp/NppInterface.h"
#include "settings/SettingsStore.h"
#include "skin/IncludeScan.h"

#include <algorithm>

namespace skineditor {

namespace {

// Items are split at line ends: no name or detail holds one.
constexpr char kSeparator = '\n';
constexpr std::size_t kDetailBytes = 60;

// What the list shows for an entry: its name, and its detail beside it on one line.
std::string itemText(const skin::CompletionEntry& entry) {
    std::string detail = entry.detail.substr(0, entry.detail.find('\n'));
    if (detail.size() > kDetailBytes) detail = detail.substr(0, kDetailBytes) + "...";
    std::replace(detail.begin(), detail.end(), '\r', ' ');
    return detail.empty() ? entry.name : entry.name + "  (" + detail + ")";
}

// A blank opens an attribute's name (<texture |).
bool isOpener(int ch) { return ch == '[' || ch == '"' || ch == '\'' || ch == '>' || ch == '<' || ch == ' '; }

bool isNameChar(int ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_' || ch == '.' ||
           ch == '-' || ch == '/' || ch == ' ' || ch >= 0x80;
}

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
    if (prefix.size() > text.size()) return false;
    return skin::NameKey(text.substr(0, prefix.size())) == skin::NameKey(prefix);
}

}  // namespace

const skin::SkinModel* HeldSkinModels::modelFor(const std::wstring& folder, const std::wstring& path,
                                                const std::string& text) {
    if (folder.empty()) return nullptr;
    if (!path.empty()) holder_.setOverlay(path, text);
    if (const skin::SkinModel* model = holder_.model(folder)) return model;
    return holder_.await(folder);
}

NameCompleter::NameCompleter(editor::NppEditor& editor, SkinModelSource& models)
    : editor_(editor), models_(models) {}

void NameCompleter::attachedToSettings(SettingsStore* store) {
    store_ = store;
    if (store != nullptr) settings_keys::registerBool(*store, *this, settings_keys::kCompleteNames, true);
}

void NameCompleter::settingsChanged(const std::wstring& group, const std::wstring& key) {
    if (store_ == nullptr || group != settings_keys::kGroup || key != settings_keys::kCompleteNames) return;
    enabled_ = store_->getBool(group, key);
    if (!enabled_ && listView_ != nullptr) {
        editor_.cancelCompletionList(listView_);
        closed();
    }
}

void NameCompleter::charAdded(const npp::SCNotification& n) {
    if (!enabled_ || !editor_.connected()) return;
    const HWND view = n.nmhdr.hwndFrom;
    if (view != editor_.activeView()) return;
    const bool ours = listView_ == view;
    // While a list of ours is open, each character filters it again; else
    // only a context's opening character opens one.
    if ((ours && isNameChar(n.ch)) || isOpener(n.ch)) {
        if (!show(view) && ours) {
            editor_.cancelCompletionList(view);
            closed();
        }
    } else if (ours) {
        editor_.cancelCompletionList(view);
        closed();
    }
}

void NameCompleter::completeNow() {
    if (!enabled_ || !editor_.connected()) return;
    show(editor_.activeView());
}

bool NameCompleter::show(HWND view) {
    const std::string text = editor_.documentText(view);
    const std::size_t caret = static_cast<std::size_t>(std::max<std::intptr_t>(0, editor_.caretPosition(view)));
    const skin::CompletionSite site = skin::FindCompletionSite(text, caret);
    if (site.context == skin::CompletionContext::None) return false;
    const std::wstring folder = editor_.currentDirectory();
    const std::wstring name = editor_.currentFileName();
    const skin::SkinModel* model =
        models_.modelFor(folder, folder.empty() || name.empty() ? std::wstring() : folder + L"\\" + name, text);
    if (model == nullptr) return false;
    const std::vector<skin::CompletionEntry> entries = skin::CompletionEntries(*model, site);
    if (entries.empty()) return false;
    items_.clear();
    names_.clear();
    std::string list;
    for (const skin::CompletionEntry& entry : entries) {
        items_.push_back(itemText(entry));
        names_.push_back(entry.name);
        if (!list.empty()) list.push_back(kSeparator);
        list += items_.back();
    }
    // Scintilla hides a list whose first entry does not begin with what it
    // takes as typed: entries found inside names or by their text are shown
    // as if nothing were typed.
    const std::intptr_t typed =
        startsWithNoCase(entries.front().name, site.typed) ? static_cast<std::intptr_t>(site.typed.size()) : 0;
    listView_ = view;
    editor_.showCompletionList(view, typed, list, kSeparator);
    return true;
}

void NameCompleter::listChosen(const npp::SCNotification& n) {
    const HWND view = n.nmhdr.hwndFrom;
    if (listView_ != view || n.text == nullptr) return;
    const auto item = std::find(items_.begin(), items_.end(), std::string(n.text));
    if (item == items_.end()) return;
    const std::string chosen = names_[static_cast<std::size_t>(item - items_.begin())];
    // Scintilla writes nothing once its list is cancelled here: the name is
    // written over the whole partial name, with its closing mark if missing.
    editor_.cancelCompletionList(view);
    closed();
    const std::string text = editor_.documentText(view);
    const std::size_t caret = static_cast<std::size_t>(std::max<std::intptr_t>(0, editor_.caretPosition(view)));
    const skin::CompletionSite site = skin::FindCompletionSite(text, caret);
    if (site.context == skin::CompletionContext::None) return;
    const std::string insert = skin::CompletionInsertText(text, site, chosen);
    std::size_t after = site.start + insert.size();
    if (insert.size() == chosen.size() && !site.closing.empty()) after += site.closing.size();  // past the one there
    editor_.replaceText(view, static_cast<std::intptr_t>(site.start), static_cast<std::intptr_t>(site.end), insert,
                        static_cast<std::intptr_t>(after));
}

void NameCompleter::listCancelled() {
    if (listView_ != nullptr) closed();
}

void NameCompleter::closed() {
    listView_ = nullptr;
    items_.clear();
    names_.clear();
    editor_.restoreCompletionSettings();
}

}  // namespace skineditor
