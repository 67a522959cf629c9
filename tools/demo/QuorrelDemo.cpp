// The demo: the stand-in editor with the plugin on the sample skin. Opens a
// window file, shows the three panels, puts the caret on a texture line and
// writes screenshots. The previewer draws with Direct3D into a child window,
// which Wine cannot read back from the screen, so its frame is taken from the
// panel's own frame copy and put into the editor's screenshot where it shows.
#include "Host.h"
#include "Screenshot.h"
#include "preview/PreviewFrame.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using host::Picture;

// Written as a PNG file; false when it cannot be.
bool savePng(const Picture& picture, const std::wstring& path) {
    std::wstring error;
    return host::savePng(picture, path, error);
}

Picture capture(HWND window) {
    Picture out;
    std::wstring error;
    host::captureWindow(window, out, error);
    return out;
}

Picture captureScreen(const RECT& area) {
    Picture out;
    std::wstring error;
    host::captureScreen(area, out, error);
    return out;
}

// The last frame the previewer presented.
Picture previewerFrame(HWND panel, UINT message) {
    preview::CapturedFrame frame;
    ::SendMessageW(panel, message, preview::kReadFrame, reinterpret_cast<LPARAM>(&frame));
    Picture out;
    out.width = static_cast<int>(frame.width);
    out.height = static_cast<int>(frame.height);
    if (out.width == 0 || out.height == 0) return {};
    out.pixels.assign(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height), 0);
    frame.pixels = out.pixels.data();
    frame.capacity = out.pixels.size();
    if (::SendMessageW(panel, message, preview::kReadFrame, reinterpret_cast<LPARAM>(&frame)) != 1) return {};
    return out;
}

void paste(Picture& onto, const Picture& part, int left, int top) {
    for (int y = 0; y < part.height; ++y) {
        const int ty = top + y;
        if (ty < 0 || ty >= onto.height) continue;
        for (int x = 0; x < part.width; ++x) {
            const int tx = left + x;
            if (tx < 0 || tx >= onto.width) continue;
            onto.pixels[static_cast<std::size_t>(ty) * onto.width + tx] =
                part.pixels[static_cast<std::size_t>(y) * part.width + x];
        }
    }
}

// Opens Plugins > Quorrel from the keyboard and photographs it while the
// menu's own loop runs (a thread timer fires inside that loop, one step per
// tick), then closes it.
struct MenuShot {
    HWND main = nullptr;
    std::wstring path;
    UINT_PTR timer = 0;
    int step = 0;
    bool saved = false;
};
MenuShot* menuShot = nullptr;

void pressKey(UINT key) {
    INPUT input[2]{};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = static_cast<WORD>(key);
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, input, sizeof(INPUT));
}

void CALLBACK menuShotTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (menuShot == nullptr) return;
    switch (menuShot->step++) {
    case 0:
        pressKey(VK_DOWN);  // the first item of Plugins: the plugin's submenu
        break;
    case 1:
        pressKey(VK_RIGHT);  // open it
        break;
    case 2: {
        RECT r{};
        ::GetWindowRect(menuShot->main, &r);
        menuShot->saved = savePng(captureScreen(r), menuShot->path);
        break;
    }
    default:
        if (menuShot->step > 6) {
            ::KillTimer(nullptr, menuShot->timer);
            break;
        }
        pressKey(VK_ESCAPE);
        break;
    }
}

bool photographMenu(host::Host& editor, const std::wstring& path) {
    MenuShot shot;
    shot.main = editor.mainWindow();
    shot.path = path;
    menuShot = &shot;
    ::SetForegroundWindow(shot.main);
    shot.timer = ::SetTimer(nullptr, 0, 250, &menuShotTimer);
    ::PostMessageW(shot.main, WM_SYSCOMMAND, SC_KEYMENU, L'p');
    editor.pump(2500);
    ::KillTimer(nullptr, shot.timer);
    menuShot = nullptr;
    return shot.saved;
}

HWND panelOf(const host::Host& editor, int dialogId) {
    for (const auto& r : editor.dockingRegistrations()) {
        if (r.data.dlgID == dialogId) return r.data.hClient;
    }
    return nullptr;
}

// A path as a quoted word of the editor's script language (backslashes escaped).
std::wstring scriptQuoted(const std::wstring& path) {
    std::wstring out;
    for (const wchar_t c : path) {
        if (c == L'\\' || c == L'"') out += L'\\';
        out += c;
    }
    return out;
}

std::wstring argument(int argc, wchar_t** argv, const wchar_t* name) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::wstring(argv[i]) == name) return argv[i + 1];
    }
    return {};
}

int run(int argc, wchar_t** argv) {
    const std::wstring out = argument(argc, argv, L"--out");
    const std::wstring file = argument(argc, argv, L"--open");
    const int line = _wtoi(argument(argc, argv, L"--line").c_str());
    if (out.empty() || file.empty() || line <= 0) {
        std::fwprintf(stderr, L"usage: quorrel-demo --out FOLDER --open FILE --line N\n");
        return 2;
    }
    host::Options options;
    options.configFolder = out + L"\\config";
    options.plugins = {L"Quorrel"};
    std::wstring error;
    auto editor = host::Host::create(options, &error);
    if (!editor) {
        std::fwprintf(stderr, L"cannot start the editor: %ls\n", error.c_str());
        return 1;
    }
    int failures = 0;
    auto check = [&](bool ok, const wchar_t* what) {
        if (!ok) {
            std::fwprintf(stderr, L"demo: %ls failed\n", what);
            ++failures;
        }
    };
    check(editor->openFile(file, &error), L"opening the window file");
    check(editor->runMenu(L"&Quorrel", L"&Ormu Controls"), L"showing the controls panel");
    check(editor->runMenu(L"&Quorrel", L"&Ormu Image Previewer"), L"showing the previewer");
    check(editor->runMenu(L"&Quorrel", L"&Ormu Tester"), L"showing the tester panel");
    editor->pump(300);

    const UINT frameMessage = ::RegisterWindowMessageW(preview::kPreviewFrameMessage);
    HWND previewer = panelOf(*editor, 2);
    if (previewer != nullptr) ::SendMessageW(previewer, frameMessage, preview::kStartCapture, 0);
    check(editor->setCaret(line - 1, 0), L"moving the caret");
    ::SendMessageW(editor->currentView(), 2169 /* SCI_SCROLLCARET */, 0, 0);
    editor->pump(1500);

    Picture screen = capture(editor->mainWindow());
    if (previewer != nullptr) {
        const Picture frame = previewerFrame(previewer, frameMessage);
        check(frame.width > 0, L"reading the previewer's frame");
        if (frame.width > 0) {
            check(savePng(frame, out + L"\\previewer.png"), L"writing previewer.png");
            RECT main{};
            ::GetWindowRect(editor->mainWindow(), &main);
            POINT origin{0, 0};
            ::ClientToScreen(previewer, &origin);
            paste(screen, frame, origin.x - main.left, origin.y - main.top);
        }
    }
    check(savePng(screen, out + L"\\editor.png"), L"writing editor.png");
    check(photographMenu(*editor, out + L"\\menu.png"), L"photographing the plugin's menu");
    check(editor->runLine(L"dump \"" + scriptQuoted(out + L"\\windows.txt") + L"\"").ok, L"dumping the windows");
    // On a real display the editor stays open for the user until closed.
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--stay") editor->run();
    }
    editor->shutdown();
    return failures == 0 ? 0 : 1;
}

}  // namespace

// GDI+, which the pictures are written with, runs while the stand-in editor does.
int wmain(int argc, wchar_t** argv) {
    int rc = 1;
    try {
        rc = run(argc, argv);
    } catch (...) {
        std::fwprintf(stderr, L"demo: unexpected failure\n");
    }
    return rc;
}
