#include "clipboard/ClipboardList.h"

#include <algorithm>

bool ClipboardList::HasText(const TextItem& item) const {
    return std::any_of(items_.begin(), items_.end(), [&](const TextItem& held) { return held.text == item.text; });
}

bool ClipboardList::AddText(const TextItem& item) {
    if (HasText(item)) return false;
    items_.push_front(item);
    ++count_;
    while (count_ > maxItems_) {
        items_.pop_back();
        --count_;
    }
    notifyControllers();
    return true;
}

const TextItem* ClipboardList::item(int index) const {
    if (index < 0 || index >= count_) return nullptr;
    auto it = items_.begin();
    std::advance(it, index);
    return &*it;
}

void OSClipboardController::newClipboardText(const TextItem& item) {
    if (editorInFront_ == nullptr || !editorInFront_()) return;
    if (auto* list = dynamic_cast<ClipboardList*>(model())) list->AddText(item);
}
