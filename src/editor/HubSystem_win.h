// The hub's view of the Windows clipboard and the editor's active editing view.
#pragma once

#include "framework/EditorEventHub.h"

namespace editor {

class NppEditor;

class Win32HubSystem : public EditorEventHub::System {
public:
    explicit Win32HubSystem(const NppEditor& editor) : editor_(editor) {}

    void* joinClipboardChain() override;
    bool activeViewIsUnicode() override;
    bool clipboardHasUnicodeText() override;
    bool formatOnClipboard(unsigned format) override;

private:
    const NppEditor& editor_;
};

}  // namespace editor
