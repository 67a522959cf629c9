// Completion of the skin's names in the editor: after a context's opening
// character ('[' of $VAR[, '"' of a known attribute, '>' of <font> ...) and
// on demand, Scintilla's list offers the names of the document's skin; the
// chosen one replaces the partial name, with a closing bracket or quote only
// where it is missing. Outside these contexts nothing is shown, so the
// editor's own word completion is left alone.
//
// The setting "CompleteNames" (on unless switched off in Options) turns it off.
#pragma once

#include "settings/ModelController.h"
#include "skin/Completion.h"
#include "skin/SkinModelHolder.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace editor {
class NppEditor;
}
namespace npp {
struct SCNotification;
}

namespace skineditor {

// The skin's model as completion asks for it.
class SkinModelSource {
public:
    virtual ~SkinModelSource() = default;
    // The model of the skin of the document at `path` (in `folder`), with
    // `text` standing for that document; null when there is none.
    virtual const skin::SkinModel* modelFor(const std::wstring& folder, const std::wstring& path,
                                            const std::string& text) = 0;
};

// The editor's shared skin models serve the completion: the document's text
// stands for its file (as the navigator already keeps it), and a skin not built
// yet is waited for.
class HeldSkinModels : public SkinModelSource {
public:
    explicit HeldSkinModels(skin::SkinModelHolder& holder) : holder_(holder) {}
    const skin::SkinModel* modelFor(const std::wstring& folder, const std::wstring& path,
                                    const std::string& text) override;

private:
    skin::SkinModelHolder& holder_;
};

class NameCompleter : public SettingsObserver {
public:
    NameCompleter(editor::NppEditor& editor, SkinModelSource& models);
    NameCompleter(const NameCompleter&) = delete;
    NameCompleter& operator=(const NameCompleter&) = delete;

    void attachedToSettings(SettingsStore* store) override;
    void settingsChanged(const std::wstring& group, const std::wstring& key) override;

    // SCN_CHARADDED: an opening character shows the list; a name's character
    // filters a list of ours again.
    void charAdded(const npp::SCNotification& notification);
    // SCN_AUTOCSELECTION: writes the chosen name in place of Scintilla.
    void listChosen(const npp::SCNotification& notification);
    // SCN_AUTOCCANCELLED.
    void listCancelled();
    // The menu command: the list for the caret's context now.
    void completeNow();

    bool enabled() const { return enabled_; }

private:
    // Shows the list for the caret's context; false when there is none.
    bool show(HWND view);
    void closed();

    editor::NppEditor& editor_;
    SkinModelSource& models_;
    SettingsStore* store_ = nullptr;
    bool enabled_ = true;
    // The view whose list is ours, and what its items say.
    HWND listView_ = nullptr;
    std::vector<std::string> items_;
    std::vector<std::string> names_;
};

}  // namespace skineditor
