// What the skin editor's list panels share: a status line over a list box
// that fills the rest of the panel (its lines as wide as their text), and a
// double-click on a line handed to the panel.
#pragma once

#include "framework/DockingDlgInterface.h"

#include <cstddef>
#include <string>
#include <vector>

namespace skineditor {

class StatusListPanel : public DockingDlgInterface {
public:
    StatusListPanel(int dialogResourceId, int statusId, int listId, int commandIndex, const wchar_t* caption);

protected:
    // Sets the status line and the list's lines.
    void fill(const std::wstring& status, const std::vector<std::wstring>& lines);
    // A line was double-clicked (0-based).
    virtual void lineChosen(std::size_t index) = 0;
    INT_PTR dialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int listId() const { return listId_; }

private:
    void layout();

    int statusId_;
    int listId_;
};

}  // namespace skineditor
