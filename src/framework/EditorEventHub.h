// Receives what the host-window hook catches (clipboard changes, the host's
// encoding conversions) and fans clipboard texts out to the listeners.
// Portable: the system's clipboard and the editing view are reached through `System`.
#pragma once

#include <string>
#include <vector>

// A text that reached the system clipboard, with the kind of selection it came from.
struct TextItem {
    enum Mode : int { Normal = 0, Column = 1, Lines = 2 };
    std::wstring text;
    int textMode = Normal;
};

class ClipboardListener {
public:
    virtual ~ClipboardListener() = default;
    virtual void newClipboardText(const TextItem& item) = 0;
};

class EditorEventHub {
public:
    // What the hub asks of the system (Win32: the clipboard and the active view).
    class System {
    public:
        virtual ~System() = default;
        // Puts the host main window into the clipboard-viewer chain; returns the next viewer.
        virtual void* joinClipboardChain() = 0;
        // Whether the active editing view holds a Unicode document (code page not 0).
        virtual bool activeViewIsUnicode() = 0;
        virtual bool clipboardHasUnicodeText() = 0;
        virtual bool formatOnClipboard(unsigned format) = 0;
    };

    void setSystem(System* system) { system_ = system; }

    // The first listener makes the host main window join the clipboard-viewer chain.
    void addClipboardListener(ClipboardListener* listener);
    // Swallowed while the ignore counter is above 0; otherwise every listener is told.
    void dispatchClipboardText(const TextItem& item);
    // The host starts converting the document's encoding; when the kind of encoding
    // (ANSI or Unicode) changes, the conversion's own clipboard traffic is ignored.
    void encodingConversion(bool toUnicode);
    // 2 for a whole-line selection, 1 for a column selection, else 0.
    int selectionKindOnClipboard();

    void setSelectionFormats(unsigned columnSelect, unsigned lineSelect) {
        columnSelectFormat_ = columnSelect;
        lineSelectFormat_ = lineSelect;
    }
    void* nextViewer() const { return nextViewer_; }
    void setNextViewer(void* viewer) { nextViewer_ = viewer; }
    bool hasListeners() const { return !listeners_.empty(); }
    int ignoreCounter() const { return ignoreCounter_; }
    // Forgets the chain and the listeners (the plugin is being unloaded).
    void reset();

private:
    void* nextViewer_ = nullptr;
    std::vector<ClipboardListener*> listeners_;
    int ignoreCounter_ = 0;
    unsigned columnSelectFormat_ = 0;
    unsigned lineSelectFormat_ = 0;
    System* system_ = nullptr;
};
