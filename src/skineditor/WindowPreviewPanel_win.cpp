#include "skineditor/WindowPreviewPanel_win.h"

#include "base/TextCodec.h"
#include "base/Win32Handles.h"
#include "editor/NppEditor_win.h"
#include "render/ExpandedSource.h"
#include "skin/ExpandedWindow.h"
#include "skin/IncludeScan.h"
#include "skin/SkinModelHolder.h"
#include "skin/SkinReferences.h"
#include "skineditor/WindowPanels_win.h"
#include "skineditor/skineditor_ids.h"

#include <algorithm>

namespace skineditor {

namespace {

std::wstring folderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring nameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool samePath(const std::wstring& a, const std::wstring& b) { return skin::ReferenceKey(a) == skin::ReferenceKey(b); }

}  // namespace

WindowPreviewPanel::WindowPreviewPanel(int commandIndex, const editor::NppEditor& editor,
                                       skin::SkinModelHolder& models, std::function<void()> poke)
    : DockingDlgInterface(IDD_WINDOW_PREVIEW, commandIndex, L"Window Preview"),
      editor_(editor),
      models_(models),
      poke_(std::move(poke)) {}

void WindowPreviewPanel::open() {
    showPanel();
    refresh();
}

void WindowPreviewPanel::refresh() { requestDrawing(); }

void WindowPreviewPanel::fileSaved() { forget_ = true; }

void WindowPreviewPanel::requestDrawing() {
    if (!markedShown() || hwnd_ == nullptr || !editor_.connected()) return;
    const std::wstring folder = editor_.currentDirectory();
    path_ = editor_.currentPath();
    const skin::SkinModel* model = folder.empty() ? nullptr : models_.model(folder);
    if (model == nullptr && !folder.empty()) models_.request(folder);
    const skin::ExpandedWindow* window = model == nullptr ? nullptr : model->expandedWindow(path_);
    if (window == nullptr) {
        status_ = model == nullptr ? (folder.empty() ? L"No window file" : L"Reading the skin...")
                                   : L"Not a window file of the skin";
        shown_ = render::PreviewResult{};
        outlined_ = -1;
        ::SetDlgItemTextW(hwnd_, IDC_PREVIEW_STATUS, status_.c_str());
        ::InvalidateRect(hwnd_, nullptr, TRUE);
        return;
    }
    render::RenderOptions options;
    // The skin's resolution for this window folder, from its manifest.
    std::string addon;
    const std::wstring windowFolder = folderOf(path_);
    if (!skin::ReadWholeFile(folderOf(windowFolder) + L"\\addon.xml", addon) ||
        !render::ResolutionOf(addon, text::toUtf8(nameOf(windowFolder)), options.skinWidth, options.skinHeight)) {
        if (render::lowered(text::toUtf8(nameOf(windowFolder))) == "720p") {
            options.skinWidth = 1280;
            options.skinHeight = 720;
        }
    }
    const int areaW = area_.right - area_.left, areaH = area_.bottom - area_.top;
    if (areaW < 2 || areaH < 2) return;
    const double scale = std::min(static_cast<double>(areaW) / options.skinWidth,
                                  static_cast<double>(areaH) / options.skinHeight);
    options.width = std::clamp(static_cast<int>(options.skinWidth * scale), 1, render::kLargestPicture);
    options.height = std::clamp(static_cast<int>(options.skinHeight * scale), 1, render::kLargestPicture);
    std::wstring name = nameOf(path_);
    if (name.size() > 4) name.resize(name.size() - 4);
    options.windowName = text::toUtf8(name);
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t clock[8];
    ::swprintf(clock, 8, L"%02u:%02u", now.wHour, now.wMinute);
    options.time = text::toUtf8(clock);

    if (!cache_ || !samePath(cacheFolder_, model->skinFolder())) {
        cache_ = std::make_shared<render::AssetCache>();
        cacheFolder_ = model->skinFolder();
    }
    if (!worker_) worker_ = std::make_unique<render::PreviewWorker>(poke_);
    render::PreviewRequest request;
    request.source = render::SourceOf(*window);
    request.assets = std::make_shared<render::SkinAssets>(
        *model, [](const std::wstring& path, std::string& bytes) { return skin::ReadWholeFile(path, bytes); },
        cache_);
    request.options = options;
    request.forgetCache = forget_;
    request.serial = ++serial_;
    forget_ = false;
    worker_->request(std::move(request));
}

void WindowPreviewPanel::drawingFinished() {
    if (!worker_) return;
    std::optional<render::PreviewResult> result = worker_->take();
    if (!result) return;
    shown_ = std::move(*result);
    const auto& r = shown_.rendering;
    status_ = std::to_wstring(r.drawn.size()) + L" controls drawn";
    if (!r.leftOut.empty()) {
        status_ += L", " + std::to_wstring(r.leftOut.size()) + L" left out (first: " +
                   text::fromUtf8(r.leftOut.front().type + ": " + r.leftOut.front().why) + L")";
    }
    if (hwnd_ != nullptr) {
        const int w = static_cast<int>(r.picture.width), h = static_cast<int>(r.picture.height);
        const int x = area_.left + std::max(0, static_cast<int>(area_.right - area_.left) - w) / 2;
        const int y = area_.top + std::max(0, static_cast<int>(area_.bottom - area_.top) - h) / 2;
        picture_ = RECT{x, y, x + w, y + h};
    }
    outlined_ = -1;
    caretMoved(editor_.activeView());
    showStatus();
    if (hwnd_ != nullptr) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void WindowPreviewPanel::showStatus() {
    if (hwnd_ == nullptr) return;
    std::wstring line = status_;
    const auto& drawn = shown_.rendering.drawn;
    if (outlined_ >= 0 && static_cast<std::size_t>(outlined_) < drawn.size()) {
        const render::DrawnControl& d = drawn[static_cast<std::size_t>(outlined_)];
        line += L"; outlined: " + text::fromUtf8(d.type + (d.id.empty() ? "" : " " + d.id)) + L", line " +
                std::to_wstring(d.line);
    }
    ::SetDlgItemTextW(hwnd_, IDC_PREVIEW_STATUS, line.c_str());
}

void WindowPreviewPanel::caretMoved(HWND view) {
    if (!markedShown() || hwnd_ == nullptr || view == nullptr || view != editor_.activeView()) return;
    if (!samePath(editor_.currentPath(), path_)) {
        requestDrawing();
        return;
    }
    const skin::SkinModel* model = models_.model(editor_.currentDirectory());
    const skin::ExpandedWindow* window = model == nullptr ? nullptr : model->expandedWindow(path_);
    if (window == nullptr) return;
    const std::int32_t control = controlUnderCaret(editor_, view, *window);
    if (control < 0) {
        outlineAt(L"", 0);
        return;
    }
    const skin::WindowControl& c = window->controls()[static_cast<std::size_t>(control)];
    const skin::Location at = window->locate(c.at);
    outlineAt(at.path, at.line);
}

void WindowPreviewPanel::outlineAt(const std::wstring& path, std::uint32_t line) {
    int found = -1;
    const auto& drawn = shown_.rendering.drawn;
    for (std::size_t k = drawn.size(); k-- > 0 && !path.empty();) {
        const render::DrawnControl& d = drawn[k];
        if (d.line == line && d.file < shown_.source.files.size() && samePath(shown_.source.files[d.file], path)) {
            found = static_cast<int>(k);
            break;
        }
    }
    if (found == outlined_) return;
    outlined_ = found;
    showStatus();
    if (hwnd_ != nullptr) ::InvalidateRect(hwnd_, &picture_, FALSE);
}

bool WindowPreviewPanel::clickAt(float skinX, float skinY) {
    const auto& drawn = shown_.rendering.drawn;
    for (std::size_t k = drawn.size(); k-- > 0;) {
        const render::DrawnControl& d = drawn[k];
        if (skinX < d.box.x || skinY < d.box.y || skinX >= d.box.x + d.box.w || skinY >= d.box.y + d.box.h) continue;
        if (d.file >= shown_.source.files.size() || d.line == 0) return false;
        return editor_.openAtLine(shown_.source.files[d.file], static_cast<std::intptr_t>(d.line) - 1);
    }
    return false;
}

void WindowPreviewPanel::layout() {
    if (hwnd_ == nullptr) return;
    const int top = placeStatusLine(hwnd_, IDC_PREVIEW_STATUS);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const RECT area{0, top, client.right, client.bottom};
    const bool resized = area.right - area.left != area_.right - area_.left || area.bottom - area.top != area_.bottom - area_.top;
    area_ = area;
    if (resized) requestDrawing();
}

void WindowPreviewPanel::paint(HDC dc) {
    const ui::Colour back = theme().pick(::GetSysColor(COLOR_BTNFACE), &ui::Palette::background);
    const auto& picture = shown_.rendering.picture;
    const RECT& p = picture_;
    // The area around the picture in the panel's colour.
    const win::Brush brush(::CreateSolidBrush(back));
    const RECT parts[4] = {{area_.left, area_.top, area_.right, p.top},
                           {area_.left, p.bottom, area_.right, area_.bottom},
                           {area_.left, p.top, p.left, p.bottom},
                           {p.right, p.top, area_.right, p.bottom}};
    for (const RECT& part : parts) {
        if (part.right > part.left && part.bottom > part.top) ::FillRect(dc, &part, brush.get());
    }
    if (picture.empty()) {
        ::FillRect(dc, &p, brush.get());
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(picture.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(picture.height);  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(dc, p.left, p.top, picture.width, picture.height, 0, 0, 0, picture.height,
                        picture.pixels.data(), &info, DIB_RGB_COLORS);
    if (outlined_ < 0 || static_cast<std::size_t>(outlined_) >= shown_.rendering.drawn.size()) return;
    const render::Box& b = shown_.rendering.drawn[static_cast<std::size_t>(outlined_)].box;
    const float sx = shown_.rendering.scaleX, sy = shown_.rendering.scaleY;
    // Two pixels at 96 DPI, more on larger screens.
    const int thickness = std::max(2, ::GetDeviceCaps(dc, LOGPIXELSX) / 48);
    const win::Pen pen(::CreatePen(PS_SOLID, thickness, RGB(255, 200, 0)));
    const HGDIOBJ oldPen = ::SelectObject(dc, pen.get());
    const HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    const auto at = [](float v) { return static_cast<int>(std::clamp(v, -30000.0f, 30000.0f)); };
    ::Rectangle(dc, p.left + at(b.x * sx), p.top + at(b.y * sy), p.left + at((b.x + b.w) * sx) + 1,
                p.top + at((b.y + b.h) * sy) + 1);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
}

INT_PTR WindowPreviewPanel::dialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_SIZE:
        layout();
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        const HDC dc = ::BeginPaint(hwnd_, &ps);
        paint(dc);
        ::EndPaint(hwnd_, &ps);
        return TRUE;
    }
    case WM_LBUTTONDOWN: {
        const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
        const auto& r = shown_.rendering;
        if (r.picture.empty() || r.scaleX <= 0 || r.scaleY <= 0) return TRUE;
        clickAt(static_cast<float>(x - picture_.left) / r.scaleX, static_cast<float>(y - picture_.top) / r.scaleY);
        return TRUE;
    }
    default:
        break;
    }
    return DockingDlgInterface::dialogProc(message, wParam, lParam);
}

}  // namespace skineditor
