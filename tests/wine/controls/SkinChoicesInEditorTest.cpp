// The plugin in the stand-in editor on copies of the sample skin (under a
// folder named outside any ANSI code page): image and include names offered
// in the controls panel's rows as the Options dialog switches them on, the
// skin's fonts and colours in font and colour rows, and a
// chosen image drawn, scaled into the previewer, before the value is written
// back into the document.
#include "Host.h"
#include "settings/settings_ids.h"
#include "wine/preview/PreviewSupport.h"
#include "support/WineTestSupport.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using wine_test::windowText;
using Names = std::vector<std::wstring>;

const wchar_t kMenu[] = L"&Quorrel";

std::wstring classOf(HWND window) {
    wchar_t name[64] = L"";
    ::GetClassNameW(window, name, 64);
    return name;
}

void descendants(HWND parent, std::vector<HWND>& out) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        out.push_back(child);
        descendants(child, out);
    }
}

Names comboItems(HWND combo) {
    Names items;
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring item(static_cast<std::size_t>(::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        item.resize(
            static_cast<std::size_t>(::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
        items.push_back(item);
    }
    return items;
}

// Under Wine a window that carries a Direct3D device shows the device's
// frames only: what GDI draws on it never reaches the screen, nor a read of
// its device context. So the plugin's blits onto the previewer's window are
// caught at the plugin's import table and replayed onto a bitmap of the
// window's size, which then holds the drawing as the window would have.
class DrawingReplay {
public:
    DrawingReplay(HMODULE plugin, HWND window, int width, int height)
        : window_(window), width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = ::CreateCompatibleDC(nullptr);
        bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = ::SelectObject(dc_, bitmap_);
        ::PatBlt(dc_, 0, 0, width, height, BLACKNESS);
        current_ = this;
        alphaBlend_ = reinterpret_cast<AlphaBlendFn>(
            patch(plugin, "msimg32.dll", "AlphaBlend", reinterpret_cast<void*>(&DrawingReplay::alphaBlend)));
        stretchBlt_ = reinterpret_cast<StretchBltFn>(
            patch(plugin, "gdi32.dll", "StretchBlt", reinterpret_cast<void*>(&DrawingReplay::stretchBlt)));
        plugin_ = plugin;
    }
    ~DrawingReplay() {
        if (alphaBlend_ != nullptr) patch(plugin_, "msimg32.dll", "AlphaBlend", reinterpret_cast<void*>(alphaBlend_));
        if (stretchBlt_ != nullptr) patch(plugin_, "gdi32.dll", "StretchBlt", reinterpret_cast<void*>(stretchBlt_));
        current_ = nullptr;
        ::SelectObject(dc_, old_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
    }
    DrawingReplay(const DrawingReplay&) = delete;
    DrawingReplay& operator=(const DrawingReplay&) = delete;

    // One blit onto the window, and the window's pixels right after it.
    struct Draw {
        RECT target{};
        SIZE source{};
        std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows from the top
        std::uint32_t at(int x, int y, int width) const {
            return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF;
        }
    };

    bool hooked() const { return alphaBlend_ != nullptr && stretchBlt_ != nullptr; }
    const std::vector<Draw>& draws() const { return draws_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    using AlphaBlendFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    using StretchBltFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, DWORD);

    // Points the plugin's import of `function` from `library` at `replacement`;
    // returns what it pointed at before (null when there is no such import).
    static void* patch(HMODULE module, const char* library, const char* function, void* replacement) {
        auto* base = reinterpret_cast<BYTE*>(module);
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name != 0;
             ++d) {
            if (_stricmp(reinterpret_cast<const char*>(base + d->Name), library) != 0) continue;
            auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
                DWORD protection = 0;
                ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &protection);
                void* previous = reinterpret_cast<void*>(slots->u1.Function);
                slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
                ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection, &protection);
                return previous;
            }
        }
        return nullptr;
    }

    void record(int x, int y, int w, int h, int sw, int sh) {
        ::GdiFlush();
        Draw draw;
        draw.target = RECT{x, y, x + w, y + h};
        draw.source = SIZE{sw, sh};
        draw.pixels.assign(bits_, bits_ + static_cast<std::size_t>(width_) * height_);
        draws_.push_back(std::move(draw));
    }

    static bool onWindow(HDC target) { return current_ != nullptr && ::WindowFromDC(target) == current_->window_; }

    static BOOL WINAPI alphaBlend(HDC target, int x, int y, int w, int h, HDC source, int sx, int sy, int sw, int sh,
                                  BLENDFUNCTION blend) {
        if (onWindow(target)) {
            current_->alphaBlend_(current_->dc_, x, y, w, h, source, sx, sy, sw, sh, blend);
            current_->record(x, y, w, h, sw, sh);
        }
        return current_->alphaBlend_(target, x, y, w, h, source, sx, sy, sw, sh, blend);
    }
    static BOOL WINAPI stretchBlt(HDC target, int x, int y, int w, int h, HDC source, int sx, int sy, int sw, int sh,
                                  DWORD rop) {
        if (onWindow(target)) {
            const int mode = ::SetStretchBltMode(current_->dc_, ::GetStretchBltMode(target));
            current_->stretchBlt_(current_->dc_, x, y, w, h, source, sx, sy, sw, sh, rop);
            ::SetStretchBltMode(current_->dc_, mode);
            current_->record(x, y, w, h, sw, sh);
        }
        return current_->stretchBlt_(target, x, y, w, h, source, sx, sy, sw, sh, rop);
    }

    static inline DrawingReplay* current_ = nullptr;
    HMODULE plugin_ = nullptr;
    HWND window_;
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    std::vector<Draw> draws_;
    AlphaBlendFn alphaBlend_ = nullptr;
    StretchBltFn stretchBlt_ = nullptr;
};

constexpr std::uint32_t rgb(int r, int g, int b) {
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

// Each channel within one step (blending rounds its own way).
bool nearly(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (ca - cb > 1 || cb - ca > 1) return false;
    }
    return true;
}

// Where a picture of w x h lands when scaled down (never up) and centred.
RECT fitted(int w, int h, int width, int height) {
    int nw = w;
    int nh = h;
    if (w > width || h > height) {
        const double scale = std::min(static_cast<double>(width) / w, static_cast<double>(height) / h);
        nw = std::max(1, static_cast<int>(w * scale));
        nh = std::max(1, static_cast<int>(h * scale));
    }
    const int left = (width - nw) / 2;
    const int top = (height - nh) / 2;
    return RECT{left, top, left + nw, top + nh};
}

// The smallest rectangle holding every pixel that is not the panel's grey.
RECT drawnArea(const DrawingReplay::Draw& shot, int width, int height) {
    RECT area{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (shot.at(x, y, width) == previewtest::kGrey) continue;
            area.left = std::min<LONG>(area.left, x);
            area.top = std::min<LONG>(area.top, y);
            area.right = std::max<LONG>(area.right, x + 1);
            area.bottom = std::max<LONG>(area.bottom, y + 1);
        }
    }
    return area;
}

class SkinChoicesInEditor : public ::testing::Test {
protected:
    void SetUp() override {
        // Kept for the whole test: the editor's own start and end of OLE then
        // only count references, and the next test's editor finds it as the
        // editor finds it at its own start.
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        demo_ = temp_.path() + L"\\demo";
        other_ = temp_.path() + L"\\other";
        ASSERT_TRUE(previewtest::copyTree(previewtest::sampleSkinFolder(), demo_));
        ASSERT_TRUE(previewtest::copyTree(previewtest::sampleSkinFolder(), other_));
        // The second skin defines includes of its own.
        ASSERT_TRUE(previewtest::writeFile(
            other_ + L"\\720p\\includes.xml",
            "<?xml version=\"1.0\"?>\n<includes>\n\t<include name=\"OtherOnly\"/>\n</includes>\n"));
        home_ = previewtest::readFile(demo_ + L"\\720p\\Home.xml");
        ASSERT_FALSE(home_.empty());

        host::Options options;
        options.pluginRoot = host::exeFolder() + L"\\plugins";
        options.configFolder = temp_.path() + L"\\config";
        options.plugins = {L"Quorrel"};
        std::wstring error;
        host_ = host::Host::create(options, &error);
        ASSERT_NE(host_, nullptr) << std::string(error.begin(), error.end());
        host_->pump(50);
    }
    void TearDown() override {
        if (host_) host_->shutdown();
        host_.reset();
        ::OleUninitialize();
    }

    void open(const std::wstring& path) {
        ASSERT_TRUE(host_->openFile(path)) << "cannot open the document";
        host_->pump(50);
    }
    void showPanel(const wchar_t* item) {
        ASSERT_FALSE(host_->isChecked(kMenu, item));
        ASSERT_TRUE(host_->runMenu(kMenu, item));
        host_->pump(100);
    }
    HWND panelNamed(const std::wstring& name) const {
        for (const auto& r : host_->dockingRegistrations()) {
            if (r.name == name) return r.data.hClient;
        }
        return nullptr;
    }
    // Ticks or clears one box of the Options dialog and confirms with OK.
    void setOption(int boxId, bool on) {
        ASSERT_TRUE(host_->runMenu(kMenu, L"&Options..."));
        host_->pump(100);
        HWND dialog = nullptr;
        for (HWND d : host_->modelessDialogs()) {
            if (windowText(d) == L"Quorrel Options") dialog = d;
        }
        ASSERT_NE(dialog, nullptr);
        ::CheckDlgButton(dialog, boxId, on ? BST_CHECKED : BST_UNCHECKED);
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
        host_->pump(50);
    }
    // Puts the caret on the first line of the document holding `needle`.
    void caretTo(const std::string& needle) {
        const int line = previewtest::lineOf(home_, needle);
        ASSERT_GE(line, 0) << needle;
        ASSERT_TRUE(host_->setCaret(line, 0));
        host_->pump(100);
    }
    // The value window of the controls panel's row for `tag`.
    HWND valueOf(const std::wstring& tag) const {
        std::vector<HWND> all;
        descendants(panelNamed(L"Ormu Controls"), all);
        for (HWND w : all) {
            if (classOf(w) == L"Edit" && !::IsWindowEnabled(w) && windowText(w) == tag)
                return ::GetWindow(w, GW_HWNDNEXT);
        }
        return nullptr;
    }
    // Picks an entry of a drop-down row as the user's click would.
    void choose(HWND combo, const std::wstring& entry) {
        const LRESULT index =
            ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry.c_str()));
        ASSERT_NE(index, CB_ERR) << "no entry " << std::string(entry.begin(), entry.end());
        ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ::SendMessageW(::GetParent(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(combo));
        host_->pump(100);
    }
    // Types into a drop-down row's edit box, replacing its text.
    void typeInto(HWND combo, const std::wstring& text) {
        HWND edit = ::GetWindow(combo, GW_CHILD);
        ASSERT_NE(edit, nullptr);
        ::SetFocus(edit);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        for (wchar_t c : text) ::SendMessageW(edit, WM_CHAR, c, 1);
        host_->pump(100);
    }

    previewtest::TempFolder temp_;
    std::wstring demo_;
    std::wstring other_;
    std::string home_;
    std::unique_ptr<host::Host> host_;
};

// The sample bundle's entries, in its own order.
const Names kBundleNames = {L"icons/quorrel.png", L"icons/star.png",    L"icons/spinner.png",  L"overlays/glass.png",
                            L"overlays/mask.png", L"bundle/banner.png", L"bundle/stripes.png", L"bundle/backdrop.png"};

TEST_F(SkinChoicesInEditor, ImageNamesAreOfferedFromTheNextRebuildOnceSwitchedOn) {
    ASSERT_NO_FATAL_FAILURE(open(demo_ + L"\\720p\\Home.xml"));
    ASSERT_NO_FATAL_FAILURE(showPanel(L"&Ormu Controls"));
    ASSERT_NO_FATAL_FAILURE(caretTo("<texture>backgrounds/home.jpg</texture>"));
    HWND texture = valueOf(L"texture");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(classOf(texture), L"Edit");

    ASSERT_NO_FATAL_FAILURE(setOption(IDC_OPTIONS_LOAD_IMAGES, true));
    EXPECT_EQ(classOf(valueOf(L"texture")), L"Edit");  // the rows shown stay as they are

    ASSERT_NO_FATAL_FAILURE(caretTo("<texture>backgrounds/tile.png</texture>"));
    texture = valueOf(L"texture");
    ASSERT_EQ(classOf(texture), L"ComboBox");
    EXPECT_EQ(windowText(texture), L"backgrounds/tile.png");
    const Names items = comboItems(texture);
    ASSERT_EQ(items.size(), kBundleNames.size() + 7);
    EXPECT_EQ(Names(items.begin(), items.begin() + 8), kBundleNames);
    // Then the loose files: PNG, JPEG, BMP (folder order is the file system's).
    Names png(items.begin() + 8, items.begin() + 12);
    std::sort(png.begin(), png.end());
    EXPECT_EQ(png, (Names{L"backgrounds\\large.png", L"backgrounds\\tile.png", L"buttons\\focus.png",
                          L"buttons\\nofocus.png"}));
    EXPECT_EQ(items[12], L"backgrounds\\home.jpg");
    Names bmp(items.begin() + 13, items.end());
    std::sort(bmp.begin(), bmp.end());
    EXPECT_EQ(bmp, (Names{L"misc\\arrow.bmp", L"misc\\logo.bmp"}));
    EXPECT_EQ(classOf(valueOf(L"include")), L"Edit");  // include names are still off

    ASSERT_NO_FATAL_FAILURE(caretTo("<alttexturefocus>buttons/focus.png</alttexturefocus>"));
    const HWND alternative = valueOf(L"usealttexture");
    ASSERT_NE(alternative, nullptr);
    EXPECT_EQ(classOf(alternative), L"ComboBox");
    EXPECT_EQ(comboItems(alternative), items);
}

TEST_F(SkinChoicesInEditor, IncludeNamesComeFromTheSkinActivatedWhileSwitchedOn) {
    ASSERT_NO_FATAL_FAILURE(showPanel(L"&Ormu Controls"));
    // Activated while include names are off: not even its folder is remembered ...
    ASSERT_NO_FATAL_FAILURE(open(demo_ + L"\\720p\\Home.xml"));
    ASSERT_NO_FATAL_FAILURE(setOption(IDC_OPTIONS_LOAD_INCLUDES, true));
    // ... so a document of the same folder, activated now, loads the includes.
    ASSERT_NO_FATAL_FAILURE(open(demo_ + L"\\720p\\includes_layout.xml"));
    ASSERT_TRUE(host_->activateDocument(demo_ + L"\\720p\\Home.xml"));
    host_->pump(50);

    // The names the skin defines (an element that names a file pulls that file in).
    const Names demoNames = {L"FadeIn", L"CommonShadow", L"HomeMenuButton", L"HomeClock", L"LayoutMargins"};
    ASSERT_NO_FATAL_FAILURE(caretTo("<texture>backgrounds/tile.png</texture>"));
    HWND include = valueOf(L"include");
    ASSERT_NE(include, nullptr);
    ASSERT_EQ(classOf(include), L"ComboBox");
    EXPECT_EQ(comboItems(include), demoNames);
    EXPECT_EQ(windowText(include), L"FadeIn")
        << "texture row: " << testing::PrintToString(windowText(valueOf(L"texture")))
        << " id row: " << testing::PrintToString(windowText(valueOf(L"id")))
        << " document: " << testing::PrintToString(host_->currentPath());
    EXPECT_EQ(classOf(valueOf(L"texture")), L"Edit");  // image names are still off

    // A second skin's window file: its own names.
    ASSERT_NO_FATAL_FAILURE(open(other_ + L"\\720p\\Home.xml"));
    ASSERT_NO_FATAL_FAILURE(caretTo("<texture>backgrounds/home.jpg</texture>"));
    include = valueOf(L"include");
    ASSERT_EQ(classOf(include), L"ComboBox");
    EXPECT_EQ(comboItems(include), Names{L"OtherOnly"});
}

TEST_F(SkinChoicesInEditor, FontAndColourRowsOfferTheSkinsOwnAndAPickedFontLands) {
    ASSERT_TRUE(previewtest::writeFile(
        demo_ + L"\\720p\\Font.xml",
        "<fonts>\n  <fontset id=\"Default\">\n"
        "    <font><name>font16</name><filename>sample.ttf</filename><size>30</size></font>\n"
        "    <font><name>font12</name><filename>sample.ttf</filename><size>20</size></font>\n"
        "  </fontset>\n</fonts>\n"));
    ASSERT_TRUE(::CreateDirectoryW((demo_ + L"\\colors").c_str(), nullptr));
    ASSERT_TRUE(previewtest::writeFile(demo_ + L"\\colors\\defaults.xml",
                                       "<colors>\n  <color name=\"white\">ffffffff</color>\n"
                                       "  <color name=\"grey\">ff808080</color>\n</colors>\n"));
    ASSERT_NO_FATAL_FAILURE(open(demo_ + L"\\720p\\Home.xml"));
    ASSERT_NO_FATAL_FAILURE(showPanel(L"&Ormu Controls"));
    // The skin is read on the plugin's worker; the rows built once it is
    // offer its names (the image and include settings play no part).
    HWND font = nullptr;
    for (int round = 0; round < 50; ++round) {
        ASSERT_NO_FATAL_FAILURE(caretTo("<description>Clock</description>"));
        ASSERT_NO_FATAL_FAILURE(caretTo("<label>Home</label>"));
        font = valueOf(L"font");
        if (font != nullptr && !comboItems(font).empty()) break;
    }
    ASSERT_NE(font, nullptr);
    ASSERT_EQ(classOf(font), L"ComboBox");
    EXPECT_EQ(comboItems(font), (Names{L"font12", L"font16"}));
    EXPECT_EQ(windowText(font), L"font16");
    EXPECT_EQ(comboItems(valueOf(L"textcolor")), (Names{L"grey", L"white"}));
    EXPECT_EQ(classOf(valueOf(L"label")), L"Edit");

    ASSERT_NO_FATAL_FAILURE(choose(font, L"font12"));
    std::string expected = home_;
    expected.replace(expected.find("<font>font16</font>"), 19, "<font>font12</font>");
    EXPECT_EQ(host_->documentBytes(), expected);
}

TEST_F(SkinChoicesInEditor, NamesFollowTheDocumentsSkinAndTheFilesTheyComeFrom) {
    ASSERT_NO_FATAL_FAILURE(setOption(IDC_OPTIONS_LOAD_IMAGES, true));
    ASSERT_NO_FATAL_FAILURE(setOption(IDC_OPTIONS_LOAD_INCLUDES, true));
    ASSERT_TRUE(previewtest::writeFile(other_ + L"\\media\\other.png", "not read"));
    ASSERT_NO_FATAL_FAILURE(showPanel(L"&Ormu Controls"));
    ASSERT_NO_FATAL_FAILURE(open(demo_ + L"\\720p\\Home.xml"));
    ASSERT_NO_FATAL_FAILURE(caretTo("<texture>backgrounds/tile.png</texture>"));
    const auto has = [](const Names& names, const wchar_t* name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    ASSERT_EQ(classOf(valueOf(L"texture")), L"ComboBox");
    EXPECT_FALSE(has(comboItems(valueOf(L"texture")), L"other.png"));

    // Another skin: its own images (a choice of the first would name a file it lacks).
    ASSERT_NO_FATAL_FAILURE(open(other_ + L"\\720p\\Home.xml"));
    ASSERT_NO_FATAL_FAILURE(caretTo("<texture>backgrounds/home.jpg</texture>"));
    EXPECT_TRUE(has(comboItems(valueOf(L"texture")), L"other.png"));
    EXPECT_EQ(comboItems(valueOf(L"include")), Names{L"OtherOnly"});

    // Files added or changed meanwhile are seen at the next rebuild of the rows.
    ASSERT_TRUE(previewtest::writeFile(other_ + L"\\media\\added.png", "not read"));
    ASSERT_TRUE(
        previewtest::writeFile(other_ + L"\\720p\\includes.xml",
                               "<includes><include name=\"OtherOnly\"/><include name=\"Changed\"/></includes>"));
    ASSERT_NO_FATAL_FAILURE(caretTo("<texturefocus>buttons/focus.png</texturefocus>"));
    EXPECT_TRUE(has(comboItems(valueOf(L"texturefocus")), L"added.png"));
    EXPECT_EQ(comboItems(valueOf(L"include")), (Names{L"OtherOnly", L"Changed"}));
}

TEST_F(SkinChoicesInEditor, AChosenImageIsDrawnScaledIntoThePreviewerBeforeTheValueIsWrittenBack) {
    ASSERT_NO_FATAL_FAILURE(setOption(IDC_OPTIONS_LOAD_IMAGES, true));
    ASSERT_NO_FATAL_FAILURE(open(demo_ + L"\\720p\\Home.xml"));
    ASSERT_NO_FATAL_FAILURE(showPanel(L"&Ormu Image Previewer"));
    ASSERT_NO_FATAL_FAILURE(showPanel(L"&Ormu Controls"));
    const HWND previewer = panelNamed(L"Ormu Image Previewer");
    ASSERT_NE(previewer, nullptr);
    // Beside the controls panel, not behind it.
    ASSERT_TRUE(host_->dockPanel(previewer, host::Container::Right));
    host_->pump(100);
    ASSERT_TRUE(::IsWindowVisible(previewer));
    ASSERT_NO_FATAL_FAILURE(caretTo("<texturefocus>buttons/focus.png</texturefocus>"));
    const HWND texture = valueOf(L"texturefocus");
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(classOf(texture), L"ComboBox");

    RECT client{};
    ::GetClientRect(previewer, &client);
    const int width = client.right;
    const int height = client.bottom;
    ASSERT_GT(width, 64);
    ASSERT_GT(height, 32);

    DrawingReplay replay(host_->pluginModule(L"Quorrel"), previewer, width, height);
    ASSERT_TRUE(replay.hooked());
    const auto& draws = replay.draws();
    const RECT whole{0, 0, width, height};
    const auto isBackground = [&](const DrawingReplay::Draw& d) { return ::EqualRect(&d.target, &whole) != FALSE; };

    // A 64 x 32 picture: the previewer cleared, then the picture at its own
    // size in the middle. Inside its translucent frame it is opaque, red
    // 40 + 3x, green 120 + 2y, blue 230; its corner (alpha 80) blends with the grey.
    HWND view = host_->currentView();
    const auto caretLine = [&] {
        return ::SendMessageW(view, npp::SCI_LINEFROMPOSITION, ::SendMessageW(view, npp::SCI_GETCURRENTPOS, 0, 0), 0);
    };
    const LRESULT elementLine = caretLine();
    ASSERT_NO_FATAL_FAILURE(choose(texture, L"buttons\\focus.png"));
    // The write-back leaves the caret on the edited element's line, so the
    // previewer's own caret update keeps showing the chosen image.
    EXPECT_EQ(caretLine(), elementLine);
    ASSERT_GE(draws.size(), 2u);
    EXPECT_TRUE(isBackground(draws[0]));
    const DrawingReplay::Draw& picture = draws[1];
    const RECT small = fitted(64, 32, width, height);
    EXPECT_TRUE(::EqualRect(&picture.target, &small) != FALSE);
    EXPECT_EQ(picture.source.cx, 64);
    for (const POINT p : {POINT{10, 5}, POINT{32, 16}, POINT{50, 27}, POINT{5, 20}}) {
        EXPECT_EQ(picture.at(small.left + p.x, small.top + p.y, width), rgb(40 + 3 * p.x, 120 + 2 * p.y, 230))
            << "picture pixel " << p.x << "," << p.y;
    }
    EXPECT_PRED2(nearly, picture.at(small.left, small.top, width),
                 rgb((40 * 80 + 212 * 175) / 255, (120 * 80 + 208 * 175) / 255, (230 * 80 + 200 * 175) / 255));
    const RECT drawn = drawnArea(picture, width, height);
    EXPECT_TRUE(::EqualRect(&drawn, &small) != FALSE) << "drawn at " << drawn.left << "," << drawn.top;
    // The value reached the document after the drawing.
    std::string expected = home_;
    const std::string before = "<texturefocus>buttons/focus.png</texturefocus>";
    expected.replace(expected.find(before), before.size(), "<texturefocus>buttons\\focus.png</texturefocus>");
    EXPECT_EQ(host_->documentBytes(), expected);

    // A picture larger than the previewer is scaled down into it, centred.
    ASSERT_TRUE(width < 600 || height < 400) << "the previewer is too large to show the scaling";
    std::size_t from = draws.size();
    ASSERT_NO_FATAL_FAILURE(choose(texture, L"backgrounds\\large.png"));
    ASSERT_GE(draws.size(), from + 2);
    EXPECT_TRUE(isBackground(draws[from]));
    const RECT big = fitted(600, 400, width, height);
    const RECT scaled = drawnArea(draws[from + 1], width, height);
    EXPECT_TRUE(::EqualRect(&draws[from + 1].target, &big) != FALSE);
    EXPECT_TRUE(::EqualRect(&scaled, &big) != FALSE)
        << "drawn at " << scaled.left << "," << scaled.top << " to " << scaled.right << "," << scaled.bottom;

    // Not an image: every keystroke only clears the previewer, and the value still goes in.
    from = draws.size();
    ASSERT_NO_FATAL_FAILURE(typeInto(texture, L"FadeIn"));
    ASSERT_GE(draws.size(), from + 6);
    for (std::size_t i = from; i < draws.size(); ++i) EXPECT_TRUE(isBackground(draws[i])) << "draw " << i;
    expected = home_;
    expected.replace(expected.find(before), before.size(), "<texturefocus>FadeIn</texturefocus>");
    EXPECT_EQ(host_->documentBytes(), expected);
}

}  // namespace
