#include "framework/EditorEventHub.h"

void EditorEventHub::addClipboardListener(ClipboardListener* listener) {
    if (listener == nullptr) return;
    const bool first = listeners_.empty();
    // Joining the chain makes the system report the clipboard at once, so the
    // listener must already be registered by then.
    listeners_.push_back(listener);
    if (first && system_ != nullptr) nextViewer_ = system_->joinClipboardChain();
}

void EditorEventHub::dispatchClipboardText(const TextItem& item) {
    if (ignoreCounter_ > 0) {
        --ignoreCounter_;
        return;
    }
    for (std::size_t i = 0; i < listeners_.size(); ++i) listeners_[i]->newClipboardText(item);
}

void EditorEventHub::encodingConversion(bool toUnicode) {
    if (system_ == nullptr) return;
    if (system_->activeViewIsUnicode() != toUnicode) {
        ignoreCounter_ = system_->clipboardHasUnicodeText() ? 2 : 1;
    }
}

int EditorEventHub::selectionKindOnClipboard() {
    if (system_ == nullptr) return TextItem::Normal;
    if (lineSelectFormat_ != 0 && system_->formatOnClipboard(lineSelectFormat_)) return TextItem::Lines;
    if (columnSelectFormat_ != 0 && system_->formatOnClipboard(columnSelectFormat_)) return TextItem::Column;
    return TextItem::Normal;
}

void EditorEventHub::reset() {
    listeners_.clear();
    nextViewer_ = nullptr;
    ignoreCounter_ = 0;
}
