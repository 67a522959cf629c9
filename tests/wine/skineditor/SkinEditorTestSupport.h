// What the Wine tests of the skin in the editor share.
#pragma once

#include "Host.h"
#include "wine/preview/PreviewSupport.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace skineditortest {

// Opens the Options dialog from the plugin's menu, lets `change` set its
// controls and confirms with OK.
template <typename Change>
void changeOptions(host::Host& host, Change change) {
    ASSERT_TRUE(host.runMenu(L"&Quorrel", L"&Options..."));
    host.pump(100);
    HWND dialog = nullptr;
    for (HWND d : host.modelessDialogs()) {
        wchar_t title[64] = L"";
        ::GetWindowTextW(d, title, 64);
        if (std::wstring(title) == L"Quorrel Options") dialog = d;
    }
    ASSERT_NE(dialog, nullptr);
    change(dialog);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
    host.pump(100);
}

// Sets one check box of the Options dialog.
inline void setOptionsBox(host::Host& host, int boxId, bool on) {
    changeOptions(host, [&](HWND dialog) { ::CheckDlgButton(dialog, boxId, on ? BST_CHECKED : BST_UNCHECKED); });
}

// The lines of a list box, in order.
inline std::vector<std::wstring> listBoxLines(HWND list) {
    std::vector<std::wstring> out;
    const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring item(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)), L'\0');
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        out.push_back(item);
    }
    return out;
}

// The line (0-based) of the caret in a view.
inline int caretLineOf(HWND view) {
    constexpr UINT kGetCurrentPos = 2008;
    constexpr UINT kLineFromPosition = 2166;
    return static_cast<int>(::SendMessageW(view, kLineFromPosition, ::SendMessageW(view, kGetCurrentPos, 0, 0), 0));
}

// The stand-in editor with the plugin over a skin in a scratch folder: what
// every fixture of the skin in the editor starts from.
class EditorWithSkin : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr))); }
    void TearDown() override {
        if (host_) host_->shutdown();
        host_.reset();
        ::OleUninitialize();
    }
    // `skin_` becomes a copy of the sample skin.
    void copySampleSkin() {
        skin_ = temp_.path() + L"\\demo";
        ASSERT_TRUE(previewtest::copyTree(previewtest::sampleSkinFolder(), skin_));
    }
    // `skin_` becomes a skin made of these files (paths below it), their folders made first.
    void writeSkin(const std::wstring& name, const std::vector<std::pair<std::wstring, std::string>>& files) {
        skin_ = temp_.path() + L"\\" + name;
        for (const auto& [path, text] : files) {
            const std::wstring file = skin_ + L"\\" + path;
            for (std::size_t slash = file.find(L'\\', temp_.path().size() + 1); slash != std::wstring::npos;
                 slash = file.find(L'\\', slash + 1)) {
                ::CreateDirectoryW(file.substr(0, slash).c_str(), nullptr);
            }
            ASSERT_TRUE(previewtest::writeFile(file, text)) << std::string(path.begin(), path.end());
        }
    }
    // Writes `text` into a file of the skin before the last `before`; returns the file's new bytes.
    std::string insertInto(const std::wstring& file, const char* before, const std::string& text) {
        std::string bytes = previewtest::readFile(skin_ + L"\\" + file);
        const std::size_t end = bytes.rfind(before);
        EXPECT_NE(end, std::string::npos) << before;
        if (end == std::string::npos) return bytes;
        bytes.insert(end, text);
        EXPECT_TRUE(previewtest::writeFile(skin_ + L"\\" + file, bytes));
        return bytes;
    }
    // Starts the editor with the plugin alone (`beforeOpen` may set it up
    // further) and opens a file of the skin in it.
    void startEditor(const std::wstring& file, const std::function<void(host::Host&)>& beforeOpen = {}) {
        host::Options options;
        options.pluginRoot = host::exeFolder() + L"\\plugins";
        options.configFolder = temp_.path() + L"\\config";
        options.plugins = {L"Quorrel"};
        std::wstring error;
        host_ = host::Host::create(options, &error);
        ASSERT_NE(host_, nullptr) << std::string(error.begin(), error.end());
        if (beforeOpen) beforeOpen(*host_);
        ASSERT_TRUE(host_->openFile(skin_ + L"\\" + file));
        host_->pump(150);
        view_ = host_->currentView();
    }

    previewtest::TempFolder temp_;
    std::wstring skin_;
    std::unique_ptr<host::Host> host_;
    HWND view_ = nullptr;
};

}  // namespace skineditortest
