#include "refcheck/ReferenceMarker_win.h"

#include "base/TextCodec.h"
#include "editor/NppEditor_win.h"
#include "settings/SettingsStore.h"

namespace refcheck {

namespace {

// How often, at most, the caret's moves look at the skin's files for changes.
constexpr ULONGLONG kSkinLookInterval = 2000;
constexpr COLORREF kSquiggleColour = RGB(0xE0, 0x20, 0x20);

bool isXmlFile(const std::wstring& name) {
    return name.size() > 4 && skin::ReferenceKey(name.substr(name.size() - 4)) == L".xml";
}

}  // namespace

// The lines of the view's document, read on demand.
class ReferenceMarker::ViewLines : public skin::LineSource {
public:
    ViewLines(const editor::NppEditor& editor, HWND view) : editor_(editor), view_(view) {}
    std::size_t lineCount() const override {
        const std::intptr_t n = editor_.lineCount(view_);
        return n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    std::string line(std::size_t index) const override {
        const auto line = static_cast<std::intptr_t>(index);
        return editor_.textRange(view_, editor_.lineStart(view_, line), editor_.lineEnd(view_, line));
    }

private:
    const editor::NppEditor& editor_;
    HWND view_;
};

ReferenceMarker::ReferenceMarker(const editor::NppEditor& editor, const std::vector<std::wstring>& imageElements)
    : editor_(editor),
      lister_(makePlatformDirectoryLister()),
      rules_(imageElements),
      index_(*lister_, skin::ReadWholeFile, skin::ReadBundleNames),
      check_(rules_) {}

ReferenceMarker::~ReferenceMarker() = default;

void ReferenceMarker::attachedToSettings(SettingsStore* store) {
    store_ = store;
    if (store != nullptr) {
        settings_keys::registerBool(*store, *this, settings_keys::kMarkMissingReferences, true);
    }
}

void ReferenceMarker::settingsChanged(const std::wstring& group, const std::wstring& key) {
    if (store_ == nullptr || group != settings_keys::kGroup || key != settings_keys::kMarkMissingReferences) return;
    const bool on = store_->getBool(group, key);
    if (on == enabled_) return;
    enabled_ = on;
    if (on) {
        documentActivated();
    } else {
        forget();
    }
}

void ReferenceMarker::documentActivated() {
    if (!editor_.connected()) return;
    const HWND view = editor_.activeView();
    if (!enabled_) {
        // Marks left from before marking was switched off go as each
        // document comes to the front again.
        if (indicator_ >= 0) {
            editor_.clearIndicator(view, indicator_, 0, editor_.lineStart(view, editor_.lineCount(view)));
        }
        return;
    }
    view_ = view;
    document_ = editor_.documentOf(view);
    folder_ = editor_.currentDirectory();
    tipAt_ = -1;
    // Only window files of a saved skin have anything to resolve against.
    if (folder_.empty() || !isXmlFile(editor_.currentFileName())) {
        check_.clear();
        if (indicator_ >= 0) {
            editor_.clearIndicator(view, indicator_, 0, editor_.lineStart(view, editor_.lineCount(view)));
        }
        view_ = nullptr;
        return;
    }
    // The number is asked for once, when there is first something to mark.
    if (!indicatorAsked_) {
        indicatorAsked_ = true;
        indicator_ = editor_.allocateIndicator();
        editor_.styleSquiggle(indicator_, kSquiggleColour);
    }
    index_.refresh(folder_);
    lastSkinLook_ = ::GetTickCount64();
    checkWholeDocument();
}

void ReferenceMarker::checkWholeDocument() {
    check_.checkAll(ViewLines(editor_, view_), index_);
    if (check_.lineCount() > 0) repaint(0, check_.lineCount() - 1);
}

void ReferenceMarker::textModified(const npp::SCNotification& n) {
    if (!enabled_ || view_ == nullptr || n.nmhdr.hwndFrom != view_) return;
    const bool inserted = (n.modificationType & npp::SC_MOD_INSERTTEXT) != 0;
    const bool deleted = (n.modificationType & npp::SC_MOD_DELETETEXT) != 0;
    if (!inserted && !deleted) return;
    const std::intptr_t line = editor_.lineFromPosition(view_, n.position);
    if (line < 0) return;
    const auto first = static_cast<std::size_t>(line);
    const auto added = static_cast<std::size_t>(n.linesAdded < 0 ? -n.linesAdded : n.linesAdded);
    // After an insertion the first line has become 1 + added lines; after a
    // deletion, lines that were 1 + removed are one.
    if (inserted) {
        check_.linesReplaced(first, 1, 1 + added);
    } else {
        check_.linesReplaced(first, 1 + added, 1);
    }
}

void ReferenceMarker::viewUpdated(HWND view) {
    if (!enabled_ || view_ == nullptr || view != view_) return;
    if (editor_.documentOf(view_) != document_) {
        // Another document is shown here without the editor saying so yet.
        view_ = nullptr;
        check_.clear();
        return;
    }
    for (const skin::LineRange& range : check_.recheck(ViewLines(editor_, view_), index_)) {
        repaint(range.first, range.last);
    }
    lookAtSkin();
    updateCallTip();
}

void ReferenceMarker::lookAtSkin() {
    const ULONGLONG now = ::GetTickCount64();
    if (now - lastSkinLook_ < kSkinLookInterval) return;
    lastSkinLook_ = now;
    if (index_.refresh(folder_) && check_.resolveAgain(index_) && check_.lineCount() > 0) {
        repaint(0, check_.lineCount() - 1);
    }
}

void ReferenceMarker::repaint(std::size_t first, std::size_t last) {
    if (indicator_ < 0 || view_ == nullptr) return;
    const std::intptr_t from = editor_.lineStart(view_, static_cast<std::intptr_t>(first));
    std::intptr_t to = editor_.lineStart(view_, static_cast<std::intptr_t>(last) + 1);
    if (to < from) to = editor_.lineStart(view_, editor_.lineCount(view_));
    if (from < 0 || to < from) return;
    editor_.clearIndicator(view_, indicator_, from, to - from);
    for (std::size_t line = first; line <= last; ++line) {
        const std::vector<skin::CheckedReference>& refs = check_.referencesOn(line);
        if (refs.empty()) continue;
        const std::intptr_t start = editor_.lineStart(view_, static_cast<std::intptr_t>(line));
        for (const skin::CheckedReference& checked : refs) {
            if (checked.found) continue;
            editor_.fillIndicator(view_, indicator_, start + static_cast<std::intptr_t>(checked.ref.begin),
                                  static_cast<std::intptr_t>(checked.ref.end - checked.ref.begin));
        }
    }
}

void ReferenceMarker::updateCallTip() {
    const std::intptr_t caret = editor_.caretPosition(view_);
    const std::intptr_t line = editor_.lineFromPosition(view_, caret);
    const std::intptr_t start = editor_.lineStart(view_, line);
    const skin::CheckedReference* missing =
        line < 0 || caret < start
            ? nullptr
            : check_.missingAt(static_cast<std::size_t>(line), static_cast<std::size_t>(caret - start));
    if (missing == nullptr) {
        if (tipAt_ >= 0 && editor_.callTipShown(view_)) editor_.cancelCallTip(view_);
        tipAt_ = -1;
        return;
    }
    const std::intptr_t at = start + static_cast<std::intptr_t>(missing->ref.begin);
    if (at == tipAt_ && editor_.callTipShown(view_)) return;
    tipAt_ = at;
    editor_.showCallTip(view_, at, text::toCodePage(index_.explainMissing(missing->ref), editor_.codePage(view_)));
}

void ReferenceMarker::forget() {
    if (view_ != nullptr) {
        if (indicator_ >= 0) {
            editor_.clearIndicator(view_, indicator_, 0, editor_.lineStart(view_, editor_.lineCount(view_)));
        }
        if (tipAt_ >= 0 && editor_.callTipShown(view_)) editor_.cancelCallTip(view_);
    }
    tipAt_ = -1;
    view_ = nullptr;
    check_.clear();
}

}  // namespace refcheck
