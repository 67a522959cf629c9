#pragma once

#include "framework/EditorEventHub.h"

namespace plugin {

class Win32HubSystem : public EditorEventHub::System {
public:
    void* joinClipboardChain() override;
    bool activeViewIsUnicode() override;
    bool clipboardHasUnicodeText() override;
    bool formatOnClipboard(unsigned format) override;
};

}  // namespace plugin
