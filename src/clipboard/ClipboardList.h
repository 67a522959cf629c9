// The ten most recent distinct texts copied while the editor was in front.
// Every addition is announced to the attached controllers.
#pragma once

#include "settings/ModelController.h"

#include <list>

class ClipboardList : public IModel {
public:
    static constexpr int kMaxItems = 10;

    // False (and nobody told) when a text equal to the item's is already held.
    bool AddText(const TextItem& item);
    bool HasText(const TextItem& item) const;
    int count() const { return count_; }
    // 0 is the newest; null past the end.
    const TextItem* item(int index) const;

private:
    std::list<TextItem> items_;
    int count_ = 0;
    int maxItems_ = kMaxItems;
};

// Feeds the list from the system clipboard, only while the editor is the
// foreground window. Whoever owns the event hub makes it a listener there.
class OSClipboardController : public IController, public ClipboardListener {
public:
    // Decides whether the editor is in front (Win32: the foreground window is the host's).
    using ForegroundCheck = bool (*)();
    explicit OSClipboardController(ForegroundCheck editorInFront = nullptr) : editorInFront_(editorInFront) {}

    void newClipboardText(const TextItem& item) override;
    void setForegroundCheck(ForegroundCheck check) { editorInFront_ = check; }

private:
    ForegroundCheck editorInFront_;
};
