// A panel stand-in and a scratch folder per test, for tests of the caret logic.
#pragma once

#include "controls/CaretTracker.h"
#include "base/TextCodec.h"
#include "unit/controls/ControlBlockTestDocument.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
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

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& suffix = "") {
        std::string pattern = (std::filesystem::temp_directory_path() / "caretXXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        const char* made = ::mkdtemp(buffer.data());
        if (made == nullptr) throw std::runtime_error("mkdtemp failed");
        root_ = made;
        path_ = root_ / suffix;
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    std::wstring wide() const { return text::fromUtf8(path_.string()); }
    std::filesystem::path path() const { return path_; }

private:
    std::filesystem::path root_;
    std::filesystem::path path_;
};

// A tracker over a text document with the real catalogue behind a fake panel.
class TrackerFixture : public ::testing::Test {
protected:
    TrackerFixture() { tracker.setScratchFolder(folder.wide()); }

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

    ScratchFolder folder;
    FakePanel panel;
    TextDocument doc;
    CaretTracker tracker{panel, doc};
};

}  // namespace controls::fakes
