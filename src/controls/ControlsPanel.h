// The dockable controls panel: the list of control types and, below it, one
// editable row per tag of the chosen type. A row edit goes to the edit sink
// (which writes it into the document); the whole control can be dragged out
// of the attribute area as XML.
#pragma once

#include <windows.h>

#include <string>

#include "controls/AttributeEditor.h"
#include "controls/ControlCatalogue.h"
#include "controls/ControlEditSink.h"
#include "settings/ModelController.h"
#include "framework/DockingDlgInterface.h"
#include "base/Win32Handles.h"

namespace editor {
class NppEditor;
}
class DragDataObject;
class DropSource;

class ControlsPanel : public DockingDlgInterface, public IController {
public:
    // The panel's entry in the command table, which is also its docking id.
    static constexpr int kCommandIndex = 3;

    ControlsPanel();
    ~ControlsPanel() override;

    // Binds the panel to the host (module and main window from the plugin
    // context), to the clipboard model and to the settings store, and makes
    // the drag objects.
    void init(IModel* model, EditorEventHub* hub, SettingsStore* store) override;
    // The clipboard history changed: the type list is filled afresh (the rows stay).
    void modelModified() override;
    void attachedToSettings(SettingsStore* store) override;
    void settingsChanged(const std::wstring& group, const std::wstring& key) override;

    // Shows or hides the panel, creating it on first use; showing fills the type list.
    void display(bool show = true) override;

    // Editor events, forwarded by the plugin.
    void caretMoved();
    void bufferActivated();
    // The text of a document changed at and after `position`.
    void documentChanged(std::ptrdiff_t position);

    // Selects the first type-list entry equal to `name` (without regard to
    // case) and shows its rows. False (nothing changes) when there is none.
    bool selectTypeByName(const std::wstring& name);
    // Forgets which type is shown, so that the next selection rebuilds the
    // rows even for the same type (their values may have changed).
    void forgetCurrentType() { currentType_.clear(); }
    // Rebuilds the rows of `type` from its template once the message now
    // being handled is over: a row that reports an edit must not be
    // destroyed while it reports it.
    void rebuildRowsLater(const std::wstring& type);
    // Whether a row's edit is being reported right now.
    bool reportingEdit() const { return reportingEdit_; }

    // The status line at the foot of the panel: one short sentence, or nothing.
    void setStatus(const std::wstring& text);
    std::wstring status() const;
    HWND statusLine() const { return statusLine_; }
    const std::wstring& currentType() const { return currentType_; }

    ControlCatalogue& catalogue() { return catalogue_; }
    const ControlCatalogue& catalogue() const { return catalogue_; }
    bool rebuilding() const { return rebuilding_; }
    bool offerIncludes() const { return loadIncludes_; }
    bool offerImages() const { return loadImages_; }

    // The editor the panel lives in (not owned; null for none): it registers the
    // panel and tells whether the panel's menu item is checked.
    void setEditor(editor::NppEditor* editor);

    // Optional collaborators (not owned; null for none).
    void setEditSink(ControlEditSink* sink) { editSink_ = sink; }
    void setCaretHandler(CaretHandler* handler) { caretHandler_ = handler; }
    void setRowChoiceSource(RowChoiceSource* source) { rowSource_ = source; }

    // The widgets, for tests and for the code that follows the caret.
    ControlTypeList& typeList() { return typeList_; }
    AttributeArea& attributes() { return attributes_; }
    // The XML text a drag would carry now.
    std::wstring dragText() const { return attributes_.controlXml(); }
    DragDataObject* dragData() const { return dragData_.get(); }

protected:
    INT_PTR dialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onDpiChanged() override;

private:
    // Sizes the type list and the rows for the DPI the panel shows at.
    void applyDpi();
    void fillTypeList();
    void chooseType(const std::wstring& name);
    void layout();
    void onValueEdited();
    void startDrag();

    ControlCatalogue catalogue_;
    ControlTypeList typeList_;
    AttributeArea attributes_;
    bool rebuilding_ = false;
    bool reportingEdit_ = false;
    std::wstring currentType_;
    std::wstring pendingType_;
    HWND statusLine_ = nullptr;  // a child of the panel, destroyed with it
    bool loadIncludes_ = false;
    bool loadImages_ = false;
    UINT dragMessage_ = 0;
    win::ComPtr<DragDataObject> dragData_;
    win::ComPtr<DropSource> dragSource_;

    ControlEditSink* editSink_ = nullptr;
    CaretHandler* caretHandler_ = nullptr;
    RowChoiceSource* rowSource_ = nullptr;
    editor::NppEditor* editor_ = nullptr;
};
