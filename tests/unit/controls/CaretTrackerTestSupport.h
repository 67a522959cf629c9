// A panel stand-in and a scratch folder per test, for tests of the caret logic.
#pragma once

#include "controls/CaretTracker.h"
#include "base/TextCodec.h"
#include "support/TestSupport.h"
#include "unit/controls/ControlBlockTestDocument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace controls::fakes {

class FakePanel : public CaretPanel {
public:
    bool shown = true;
    ControlCatalogue cat;
    std::vector<std::wstring> shownTypes;  // every rebuild of the rows
    std::wstring status;                   // the status line

    bool panelShown() const override { return shown; }
    ControlCatalogue& catalogue() override { return cat; }
    void showControlType(const std::wstring& type) override { shownTypes.push_back(type); }
    void showStatus(const std::wstring& text) override { status = text; }

    std::wstring value(const std::wstring& tag) const {
        const ControlTemplate t = cat.templateFor(cat.currentType());
        const auto it = t.find(tag);
        return it == t.end() ? std::wstring(L"<absent>") : it->second;
    }
};

// A tracker over a text document with the real catalogue behind a fake panel.
class TrackerFixture : public ::testing::Test {
protected:
    TrackerFixture() { tracker.setScratchFolder(folder.path()); }

    void open(const std::string& text, Position caret, unsigned codePage = 65001) {
        doc.setText(text);
        doc.setCodePage(codePage);
        moveTo(caret);
    }
    void moveTo(Position caret) {
        doc.setCaretLine(caret);
        tracker.checkCaret();
    }
    // The caret update the editor raises after the tracker's own edit.
    void editorEcho() { tracker.checkCaret(); }

    testsupport::ScratchFolder folder{L"caret"};
    FakePanel panel;
    TextDocument doc;
    CaretTracker tracker{panel, doc};
};

}  // namespace controls::fakes
