// "Pack ort" in the stand-in editor with the real plugin on a small skin,
// then "Extract ort" of the bundle it wrote into an empty folder: every image
// comes back as it went in (read back through GDI+), the animation's first
// picture included, and the panel tells what was packed.
#include "Host.h"
#include "ImageFileWriter.h"
#include "PngReading.h"
#include "TesterTestSupport.h"
#include "tester/TesterPanel.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

std::wstring windowText(HWND window) {
    wchar_t text[4096] = {};
    ::GetWindowTextW(window, text, 4096);
    return text;
}

BOOL CALLBACK findEdit(HWND child, LPARAM found) {
    wchar_t name[16] = {};
    ::GetClassNameW(child, name, 16);
    if (_wcsicmp(name, L"Edit") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

using testsupport::className;

struct TextSearch {
    const std::wstring& text;
    bool found;
};

BOOL CALLBACK matchText(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<TextSearch*>(data);
    search->found = search->found || windowText(child) == search->text;
    return !search->found;
}

// Whether a window or one of its children shows exactly `text`.
bool hasText(HWND window, const std::wstring& text) {
    TextSearch search{text, windowText(window) == text};
    ::EnumChildWindows(window, matchText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct CaptionSearch {
    const std::wstring& caption;
    HWND found;
};

BOOL CALLBACK matchCaption(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<CaptionSearch*>(data);
    if (className(window) != L"#32770" || windowText(window) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

// The progress window of a long command, by its caption, shown or not yet.
HWND findProgressWindow(const std::wstring& caption) {
    CaptionSearch search{caption, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), matchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Pixels equal, but fully transparent ones only in their alpha (their colour
// is nobody's business).
bool samePixels(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && !((a[i] >> 24) == 0 && (b[i] >> 24) == 0)) return false;
    }
    return true;
}

// The script language reads backslashes in quotes as escapes.
std::wstring quoted(const std::wstring& path) {
    std::wstring q = L"\"";
    for (wchar_t c : path) {
        if (c == L'\\' || c == L'"') q.push_back(L'\\');
        q.push_back(c);
    }
    return q + L"\"";
}

ortwriter::Image pattern(std::uint32_t w, std::uint32_t h, bool alpha) {
    ortwriter::Image image{w, h, ortwriter::Bytes(static_cast<std::size_t>(w) * h * 4)};
    for (std::uint32_t y = 0; y < h; ++y) {
        for (std::uint32_t x = 0; x < w; ++x) {
            std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(y) * w + x) * 4];
            p[0] = static_cast<std::uint8_t>(x * 255 / w);
            p[1] = static_cast<std::uint8_t>(y * 255 / h);
            p[2] = 120;
            p[3] = alpha ? static_cast<std::uint8_t>((x * 11 + y * 5) % 256) : 255;
        }
    }
    return image;
}

std::vector<std::uint32_t> argbOf(const ortwriter::Image& image) {
    std::vector<std::uint32_t> argb;
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        const std::uint8_t* p = &image.rgba[i];
        argb.push_back(static_cast<std::uint32_t>(p[3]) << 24 | p[0] << 16 | p[1] << 8 | p[2]);
    }
    return argb;
}

}  // namespace

TEST(PackOrtInEditor, PackedMediaComeBackThroughExtractOrtAsTheyWentIn) {
    using namespace ortwriter;
    // On the prefix's own drive: Wine's folder browser would walk the whole
    // Linux file system to reach a folder under Z:.
    testsupport::ScratchFolder scratch(L"pack");
    // The open-file dialog of "Extract ort" makes the bundle's folder the
    // process's current one, which could then not be removed.
    struct CurrentFolder {
        wchar_t saved[MAX_PATH] = {};
        CurrentFolder() { ::GetCurrentDirectoryW(MAX_PATH, saved); }
        ~CurrentFolder() { ::SetCurrentDirectoryW(saved); }
    } keepCurrentFolder;
    const std::wstring& work = scratch.path();
    const std::wstring skin = work + L"\\my skin", media = skin + L"\\media", out = work + L"\\out";
    for (const std::wstring& folder : {skin, skin + L"\\720p", media, media + L"\\anim", media + L"\\photos", out})
        ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr)) << testsupport::narrow(folder);
    const auto put = [](const std::wstring& path, const Bytes& bytes) {
        ASSERT_TRUE(testsupport::writeFile(path, std::string(bytes.begin(), bytes.end())));
    };
    const Image alpha = pattern(33, 17, true), opaque = pattern(12, 9, false), photo = pattern(48, 32, false);
    put(media + L"\\alpha.png", pngFile(alpha));
    put(media + L"\\button.bmp", bmpFile(opaque, BmpLayout::Rgb24BottomUp));
    put(media + L"\\photos\\photo.jpg", jpegFile(photo, 95));
    // Two frames: a picture with a transparent corner, then a red dot over it.
    const std::vector<GifColour> palette = {{{0, 0, 0}}, {{255, 0, 0}}, {{0, 128, 255}}, {{255, 255, 255}}};
    GifFrame first{0, 0, 4, 3, {0, 3, 2, 2, 3, 2, 2, 2, 2, 2, 1, 1}, 5, 1, 0, false};
    GifFrame second{1, 1, 1, 1, {1}, 7, 1, -1, false};
    put(media + L"\\anim\\blink.gif", gifFile(4, 3, palette, {first, second}, true));
    ASSERT_TRUE(testsupport::writeFile(skin + L"\\720p\\Home.xml", "<window></window>\r\n"));

    testsupport::ScratchFolder config;
    host::Options options;
    options.pluginRoot = host::exeFolder() + L"\\plugins";
    options.configFolder = config.path();
    options.plugins = {L"Quorrel"};
    std::wstring error;
    std::unique_ptr<host::Host> editor = host::Host::create(options, &error);
    ASSERT_NE(editor, nullptr) << testsupport::narrow(error);
    ASSERT_TRUE(editor->openFile(skin + L"\\720p\\Home.xml"));
    ASSERT_TRUE(editor->runMenu(L"&Quorrel", L"&Ormu Tester"));
    editor->pump(100);
    const auto run = [&editor](const std::wstring& line) {
        const host::CommandResult result = editor->runLine(line);
        EXPECT_TRUE(result.ok) << testsupport::narrow(line) << ": " << testsupport::narrow(result.message);
    };
    run(L"expect item panel=\"Ormu Commands\" > class=ListBox 3 \"Pack ort\"");
    run(L"select-index panel=\"Ormu Commands\" > class=ListBox 3");
    run(L"expect text panel=\"Ormu Commands\" > class=Edit \"This command packs the images of a media folder into an "
        L"ort file\"");

    const std::wstring bundle = media + L"\\textures.ort";
    run(L"answer folder " + quoted(media));
    run(L"answer file " + quoted(bundle));
    run(L"dblclick panel=\"Ormu Commands\" > class=ListBox");
    HWND panel = nullptr;
    HWND info = nullptr;
    for (const auto& registration : editor->dockingRegistrations())
        if (registration.data.dlgID == 1) panel = registration.data.hClient;
    ASSERT_NE(panel, nullptr);
    ::EnumChildWindows(panel, findEdit, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(info, nullptr);
    editor->pumpUntil([&info] { return windowText(info).find(L"Packed ") != std::wstring::npos; });
    EXPECT_EQ(windowText(info), L"Packed 4 images (5 frames) into " + bundle + L": 0.0 MiB.");
    run(L"expect answered");
    EXPECT_TRUE(testsupport::fileExists(bundle));
    EXPECT_FALSE(testsupport::fileExists(bundle + L".tmp"));

    // Packing again over it, held at its first report and cancelled there:
    // the bundle stays as it was and nothing is left beside it.
    std::string packed;
    ASSERT_TRUE(testsupport::readFile(bundle, packed));
    const std::vector<std::wstring> mediaFiles = testsupport::listFiles(media);
    ::SendMessageW(panel, TesterPanel::kHoldWork, TRUE, 0);
    run(L"answer folder " + quoted(media));
    run(L"answer file " + quoted(bundle));
    run(L"answer message Yes");
    run(L"dblclick panel=\"Ormu Commands\" > class=ListBox");
    HWND progress = nullptr;
    editor->pumpUntil([&progress] {
        progress = findProgressWindow(L"Pack ort");
        return progress != nullptr && ::IsWindowVisible(progress) && hasText(progress, L"0 of 4 images");
    });
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(hasText(progress, L"0 of 4 images"));
    ::PostMessageW(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(progress, IDCANCEL)));
    editor->pumpUntil([&info] { return windowText(info).rfind(L"The packing", 0) == 0; });
    EXPECT_EQ(windowText(info), L"The packing was cancelled; no bundle was written.");
    run(L"expect answered");
    std::string kept;
    ASSERT_TRUE(testsupport::readFile(bundle, kept));
    EXPECT_TRUE(kept == packed);
    EXPECT_EQ(testsupport::listFiles(media), mediaFiles);

    run(L"answer file " + quoted(bundle));
    run(L"answer folder " + quoted(out));
    run(L"select-index panel=\"Ormu Commands\" > class=ListBox 1");
    run(L"dblclick panel=\"Ormu Commands\" > class=ListBox");
    const std::vector<std::wstring> expectedFiles = {L"alpha.png", L"anim\\blink.gif", L"button.bmp",
                                                     L"photos\\photo.jpg"};
    editor->pumpUntil([&] { return testsupport::listFiles(out) == expectedFiles; });
    EXPECT_EQ(testsupport::listFiles(out), expectedFiles);
    run(L"expect answered");

    testsupport::GdiplusSession gdiplus;
    const std::uint32_t clear = 0, red = 0xFFFF0000, blue = 0xFF0080FF, white = 0xFFFFFFFF;
    const std::map<std::wstring, std::pair<UINT, std::vector<std::uint32_t>>> lossless = {
        {L"alpha.png", {33, argbOf(alpha)}},
        {L"button.bmp", {12, argbOf(opaque)}},
        {L"anim\\blink.gif", {4, {clear, white, blue, blue, white, blue, blue, blue, blue, blue, red, red}}},
    };
    for (const auto& [name, want] : lossless) {
        UINT width = 0, height = 0;
        std::vector<std::uint32_t> pixels;
        ASSERT_TRUE(testsupport::readPng(out + L"\\" + name, width, height, pixels)) << testsupport::narrow(name);
        EXPECT_EQ(width, want.first) << testsupport::narrow(name);
        EXPECT_TRUE(samePixels(pixels, want.second)) << testsupport::narrow(name);
    }
    // The JPEG's pixels are a decoder's; close to what was encoded.
    UINT width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(testsupport::readPng(out + L"\\photos\\photo.jpg", width, height, pixels));
    ASSERT_EQ(width, 48u);
    ASSERT_EQ(height, 32u);
    const std::vector<std::uint32_t> source = argbOf(photo);
    double difference = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        EXPECT_EQ(pixels[i] >> 24, 255u);
        for (int shift = 0; shift < 24; shift += 8)
            difference +=
                std::abs(static_cast<int>((pixels[i] >> shift) & 0xFF) - static_cast<int>((source[i] >> shift) & 0xFF));
    }
    EXPECT_LT(difference / (pixels.size() * 3), 3.0);
}
