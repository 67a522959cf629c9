// The widgets of the controls panel: the type list at its top, and the
// scrolling attribute area below it with one row (tag beside value) per tag.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/AttributeLayout.h"
#include "base/Win32Handles.h"
#include "framework/Theme_win.h"
#include "framework/Window.h"

// Drop-down list (not editable) of the control type names, each shown with
// its own text.
class ControlTypeList : public Window {
public:
    ~ControlTypeList() override;
    void attach(HINSTANCE instance, HWND parent) override;
    void destroy() override;

    // `shown`: the entry's text in the list (empty: the name itself).
    void addItem(const std::wstring& name, const std::wstring& shown = std::wstring());
    void clear();
    int count() const;
    // The name of the selected entry.
    std::wstring selectedText() const;
    int selectedIndex() const;
    // Unless exact, the index is clamped to the last item (nothing happens on an empty list).
    void select(int index, bool exact = false);
    // The index of the first item named `text` without regard to ASCII case, or -1.
    int findExact(const std::wstring& text) const;
    void resizeTo(int left, int top, int right, int bottom);
    // Sizes for another DPI: the font is made again; the next resize places the box.
    void setMetrics(const controls::AttributeMetrics& metrics);

private:
    static LRESULT CALLBACK forwardingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void makeFont();

    controls::AttributeMetrics metrics_;
    WNDPROC previousProc_ = nullptr;
    win::Font font_;
    std::vector<std::wstring> items_;
};

// One row of the attribute area: a disabled edit showing the tag, and an edit
// or an editable drop-down holding the value.
class AttributeRow : public ui::ChildWindow {
public:
    // The metrics (null: those at 96 DPI) belong to the area, which outlives its rows.
    explicit AttributeRow(int index, const controls::AttributeMetrics* metrics = nullptr)
        : index_(index), metrics_(metrics) {}
    ~AttributeRow() override;

    void attach(HINSTANCE instance, HWND parent) override;
    void destroy() override;

    void setupDropDown(const std::wstring& tag, const std::vector<std::wstring>& options, const std::wstring& value);
    void setupText(const std::wstring& tag, const std::wstring& value);
    // Places the row in its slot for the given width and scroll offset.
    void resizeTo(int left, int right, int scrollOffsetPixels);

    HWND labelWindow() const { return label_; }
    HWND valueWindow() const { return value_; }
    bool isDropDown() const { return dropDown_; }
    int index() const { return index_; }

    static void unregisterClass(HINSTANCE instance);

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void windowGone() override;
    const controls::AttributeMetrics& metrics() const;

    HWND label_ = nullptr;
    HWND value_ = nullptr;
    bool dropDown_ = false;
    int index_;
    const controls::AttributeMetrics* metrics_;
    ui::BrushCache brushes_;
};

// The scrolling area holding the rows. Reports a change of any row's value to
// its parent as WM_COMMAND (the row's notification code, the area as sender),
// after recording that row as the current one.
class AttributeArea : public ui::ChildWindow {
public:
    ~AttributeArea() override;

    void attach(HINSTANCE instance, HWND parent) override;
    void destroy() override;

    void resizeTo(int left, int top, int right, int bottom);
    // Sizes for another DPI; the next resize lays the rows out with them.
    void setMetrics(const controls::AttributeMetrics& metrics);
    const controls::AttributeMetrics& metrics() const { return metrics_; }
    void addDropDownRow(const std::wstring& tag, const std::vector<std::wstring>& options, const std::wstring& value);
    void addTextRow(const std::wstring& tag, const std::wstring& value);
    void removeAllRows();

    // Text of the given label window, or of the current row's label.
    std::wstring tagText(HWND label = nullptr) const;
    // Value of the given value window, or of the current row's value; true
    // when it is a drop-down (its selected entry, else its edit text).
    bool valueText(std::wstring& out, HWND value = nullptr) const;
    // The rows as a control's XML text; empty when there are no rows.
    std::wstring controlXml() const;

    std::size_t rowCount() const { return rows_.size(); }
    const AttributeRow& row(std::size_t i) const { return *rows_[i]; }
    const controls::ScrollState& scrollState() const { return scroll_; }
    HWND currentLabel() const { return currentLabel_; }
    HWND currentValue() const { return currentValue_; }

    static void unregisterClass(HINSTANCE instance);

private:
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    AttributeRow* addRow();
    void updateScrollRange();
    void layoutRows();
    void onScroll(int request);

    HWND currentLabel_ = nullptr;
    HWND currentValue_ = nullptr;
    std::vector<std::unique_ptr<AttributeRow>> rows_;
    controls::ScrollState scroll_;
    controls::AttributeMetrics metrics_;
    ui::BrushCache brushes_;
};

namespace controls {
constexpr COLORREF kBackground = RGB(212, 208, 200);
}  // namespace controls
