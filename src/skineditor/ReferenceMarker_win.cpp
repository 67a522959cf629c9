#include "skineditor/ReferenceMarker_win.h"

#include "base/TextCodec.h"
#include "editor/NppEditor_win.h"
#include "settings/SettingsStore.h"
#include "skin/SkinModelHolder.h"
#include "skin/SkinReferences.h"

namespace skineditor {

namespace {

constexpr COLORREF kErrorColour = RGB(0xE0, 0x20, 0x20);
constexpr COLORREF kWarningColour = RGB(0xD0, 0x90, 0x00);

bool isXmlFile(const std::wstring& path) {
    return path.size() > 4 && skin::ReferenceKey(path.substr(path.size() - 4)) == L".xml";
}

}  // namespace

ReferenceMarker::ReferenceMarker(const editor::NppEditor& editor, skin::SkinModelHolder& models)
    : editor_(editor), models_(models) {}

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

void ReferenceMarker::clearMarks(HWND view) {
    const std::intptr_t end = editor_.lineStart(view, editor_.lineCount(view));
    editor_.clearIndicator(view, errorIndicator_, 0, end);
    editor_.clearIndicator(view, warningIndicator_, 0, end);
}

void ReferenceMarker::documentActivated() {
    if (!editor_.connected()) return;
    const HWND view = editor_.activeView();
    // Marks left from before (marking switched off, another document) go as
    // each document comes to the front.
    clearMarks(view);
    findings_.clear();
    tipAt_ = -1;
    view_ = nullptr;
    markedAt_ = ~std::uint64_t{0};
    if (!enabled_) return;
    folder_ = editor_.currentDirectory();
    path_ = editor_.currentPath();
    // Only files of a saved skin have anything to be checked against.
    if (folder_.empty() || !isXmlFile(path_)) return;
    view_ = view;
    document_ = editor_.documentOf(view);
    // The numbers are asked for once, when there is first something to mark.
    if (!indicatorsAsked_) {
        indicatorsAsked_ = true;
        errorIndicator_ = editor_.allocateIndicator();
        warningIndicator_ = errorIndicator_ < 0 ? -1 : editor_.allocateIndicator();
        editor_.styleSquiggle(errorIndicator_, kErrorColour);
        editor_.styleSquiggle(warningIndicator_, kWarningColour);
    }
    mark();
}

void ReferenceMarker::viewUpdated(HWND view) {
    if (!enabled_ || view_ == nullptr || view != view_) return;
    if (editor_.documentOf(view_) != document_) {
        // Another document is shown here without the editor saying so yet.
        documentActivated();
        return;
    }
    if (models_.generation() != markedAt_) mark();
    updateCallTip();
}

void ReferenceMarker::modelChanged() {
    // A view that shows another document by now hears of it at its next update.
    if (!enabled_ || view_ == nullptr || editor_.documentOf(view_) != document_) return;
    mark();
    updateCallTip();
}

void ReferenceMarker::mark() {
    const skin::SkinModel* model = models_.model(folder_);
    // Not read yet (the worker wakes the editor when it is): the marks follow then.
    if (model == nullptr || view_ == nullptr) return;
    markedAt_ = models_.generation();
    findings_.clear();
    if (model->file(path_) != nullptr) findings_ = checker_.checkFile(*model, path_);
    clearMarks(view_);
    for (const skin::CheckFinding& finding : findings_) {
        if (finding.at.line == 0 || finding.at.length == 0 || finding.rule == nullptr) continue;
        const std::intptr_t start = editor_.lineStart(view_, static_cast<std::intptr_t>(finding.at.line) - 1);
        if (start < 0) continue;
        const int indicator = finding.rule->severity == skin::Severity::Error ? errorIndicator_ : warningIndicator_;
        editor_.fillIndicator(view_, indicator, start + static_cast<std::intptr_t>(finding.at.column),
                              static_cast<std::intptr_t>(finding.at.length));
    }
}

void ReferenceMarker::updateCallTip() {
    const std::intptr_t caret = editor_.caretPosition(view_);
    const std::intptr_t line = editor_.lineFromPosition(view_, caret);
    const std::intptr_t start = editor_.lineStart(view_, line);
    const skin::CheckFinding* here = nullptr;
    if (line >= 0 && caret >= start) {
        const auto column = static_cast<std::uint32_t>(caret - start);
        for (const skin::CheckFinding& finding : findings_) {
            if (finding.at.line == static_cast<std::uint32_t>(line + 1) && finding.at.length > 0 &&
                column >= finding.at.column && column <= finding.at.column + finding.at.length) {
                here = &finding;
                break;
            }
        }
    }
    if (here == nullptr) {
        if (tipAt_ >= 0 && editor_.callTipShown(view_)) editor_.cancelCallTip(view_);
        tipAt_ = -1;
        return;
    }
    const std::intptr_t at = start + static_cast<std::intptr_t>(here->at.column);
    if (at == tipAt_ && editor_.callTipShown(view_)) return;
    tipAt_ = at;
    const std::string said =
        std::string(skin::severityName(here->rule->severity)) + ": " + here->message + " [" + here->rule->id + "]";
    editor_.showCallTip(view_, at, text::toCodePage(text::fromUtf8(said), editor_.codePage(view_)));
}

void ReferenceMarker::forget() {
    if (view_ != nullptr) {
        clearMarks(view_);
        if (tipAt_ >= 0 && editor_.callTipShown(view_)) editor_.cancelCallTip(view_);
    }
    tipAt_ = -1;
    view_ = nullptr;
    findings_.clear();
}

}  // namespace skineditor
