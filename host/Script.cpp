// The script language of the host (documented in host/README.md): one command
// per line, windows found by selectors, modal dialogs answered from a queue.
#include "HostImpl.h"

#include "base/TextCodec.h"

#include <gdiplus.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <sstream>

namespace host {
namespace {

// ---------------------------------------------------------------------------
// Tokens

struct Token {
    std::wstring key;    // for key=value tokens
    std::wstring value;  // the word, the quoted string, or the value
    bool quoted = false;
    bool hasKey = false;
};

struct ParseError {
    std::wstring what;
};

std::vector<Token> tokenize(const std::wstring& line) {
    std::vector<Token> tokens;
    std::size_t i = 0, n = line.size();
    auto readQuoted = [&](std::wstring& out) {
        ++i;  // opening quote
        while (i < n && line[i] != L'"') {
            if (line[i] == L'\\' && i + 1 < n) {
                ++i;
                switch (line[i]) {
                    case L'n': out += L'\n'; break;
                    case L'r': out += L'\r'; break;
                    case L't': out += L'\t'; break;
                    default: out += line[i]; break;
                }
            } else {
                out += line[i];
            }
            ++i;
        }
        if (i >= n) throw ParseError{L"unterminated string"};
        ++i;  // closing quote
    };
    while (i < n) {
        if (std::iswspace(line[i])) {
            ++i;
            continue;
        }
        Token t;
        if (line[i] == L'"') {
            readQuoted(t.value);
            t.quoted = true;
        } else {
            std::wstring word;
            while (i < n && !std::iswspace(line[i])) {
                if (line[i] == L'=' && !t.hasKey && !word.empty()) {
                    t.hasKey = true;
                    t.key = word;
                    word.clear();
                    ++i;
                    if (i < n && line[i] == L'"') {
                        readQuoted(word);
                        t.quoted = true;
                        break;
                    }
                    continue;
                }
                word += line[i++];
            }
            t.value = word;
        }
        tokens.push_back(t);
    }
    return tokens;
}

std::wstring quote(const std::wstring& s) {
    std::wstring out = L"\"";
    for (wchar_t c : s) {
        switch (c) {
            case L'"': out += L"\\\""; break;
            case L'\\': out += L"\\\\"; break;
            case L'\n': out += L"\\n"; break;
            case L'\r': out += L"\\r"; break;
            case L'\t': out += L"\\t"; break;
            default: out += c; break;
        }
    }
    return out + L"\"";
}

bool parseInt(const std::wstring& s, long long& out) {
    if (s.empty()) return false;
    wchar_t* end = nullptr;
    out = std::wcstoll(s.c_str(), &end, 0);
    return end != nullptr && *end == L'\0';
}

long long needInt(const std::wstring& s, const wchar_t* what) {
    long long v = 0;
    if (!parseInt(s, v)) throw ParseError{std::wstring(what) + L" must be a number, not " + quote(s)};
    return v;
}

// ---------------------------------------------------------------------------
// Windows

std::wstring windowText(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(std::max(0, n)) + 1, L'\0');
    int got = GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(std::max(0, got)));
    return text;
}

std::wstring className(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

bool sameClass(HWND hwnd, const wchar_t* name) { return lstrcmpiW(className(hwnd).c_str(), name) == 0; }

BOOL CALLBACK collectWindow(HWND hwnd, LPARAM p) {
    try {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(hwnd);
        return TRUE;
    } catch (...) {
        return FALSE;  // out of memory: stop the walk
    }
}

std::vector<HWND> threadWindows() {
    std::vector<HWND> out;
    EnumThreadWindows(GetCurrentThreadId(), collectWindow, reinterpret_cast<LPARAM>(&out));
    return out;
}

// Direct children in Z order, then recursively: a pre-order walk.
void descendants(HWND root, std::vector<HWND>& out) {
    for (HWND child = GetWindow(root, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        out.push_back(child);
        descendants(child, out);
    }
}

struct ListInfo {
    bool isList = false;
    std::vector<std::wstring> items;
    int selection = -1;
};

ListInfo listInfo(HWND hwnd) {
    ListInfo info;
    LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    if (sameClass(hwnd, L"ListBox") || sameClass(hwnd, L"ComboLBox")) {
        info.isList = true;
        bool strings = (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) == 0 || (style & LBS_HASSTRINGS) != 0;
        auto count = SendMessageW(hwnd, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            if (!strings) {
                info.items.push_back(L"<owner-drawn>");
                continue;
            }
            auto len = SendMessageW(hwnd, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(len, 0)) + 1, L'\0');
            SendMessageW(hwnd, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<std::size_t>(std::max<LRESULT>(len, 0)));
            info.items.push_back(text);
        }
        info.selection = static_cast<int>(SendMessageW(hwnd, LB_GETCURSEL, 0, 0));
    } else if (sameClass(hwnd, L"ComboBox")) {
        info.isList = true;
        bool strings = (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) == 0 || (style & CBS_HASSTRINGS) != 0;
        auto count = SendMessageW(hwnd, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            if (!strings) {
                info.items.push_back(L"<owner-drawn>");
                continue;
            }
            auto len = SendMessageW(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
            std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(len, 0)) + 1, L'\0');
            SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<std::size_t>(std::max<LRESULT>(len, 0)));
            info.items.push_back(text);
        }
        info.selection = static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
    } else if (sameClass(hwnd, WC_LISTVIEWW)) {
        info.isList = true;
        auto count = SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t buffer[1024] = {};
            LVITEMW item{};
            item.iSubItem = 0;
            item.pszText = buffer;
            item.cchTextMax = 1024;
            SendMessageW(hwnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            info.items.push_back(buffer);
        }
        info.selection = static_cast<int>(SendMessageW(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    } else if (sameClass(hwnd, WC_TABCONTROLW)) {
        info.isList = true;
        auto count = SendMessageW(hwnd, TCM_GETITEMCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t buffer[256] = {};
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = buffer;
            item.cchTextMax = 256;
            SendMessageW(hwnd, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            info.items.push_back(buffer);
        }
        info.selection = static_cast<int>(SendMessageW(hwnd, TCM_GETCURSEL, 0, 0));
    }
    return info;
}

RECT rectInParent(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    HWND parent = GetParent(hwnd);
    if (parent != nullptr && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) != 0) {
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

std::wstring describe(HWND hwnd) {
    RECT r = rectInParent(hwnd);
    std::wstringstream s;
    s << className(hwnd) << L" #" << GetDlgCtrlID(hwnd) << L" " << quote(windowText(hwnd))
      << L" visible=" << (IsWindowVisible(hwnd) ? 1 : 0) << L" enabled=" << (IsWindowEnabled(hwnd) ? 1 : 0)
      << L" rect=" << r.left << L"," << r.top << L"," << (r.right - r.left) << L"," << (r.bottom - r.top);
    return s.str();
}

void dumpTree(HWND hwnd, int depth, std::wstring& out) {
    std::wstring indent(static_cast<std::size_t>(depth) * 2, L' ');
    out += indent + describe(hwnd) + L"\n";
    ListInfo info = listInfo(hwnd);
    if (info.isList) {
        out += indent + L"  items=" + std::to_wstring(info.items.size()) + L" selection=" +
               std::to_wstring(info.selection) + L"\n";
        for (std::size_t i = 0; i < info.items.size(); ++i)
            out += indent + L"  item[" + std::to_wstring(i) + L"] " + quote(info.items[i]) + L"\n";
    }
    for (HWND child = GetWindow(hwnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        dumpTree(child, depth + 1, out);
}

// ---------------------------------------------------------------------------
// Selectors

struct Step {
    bool hasId = false;
    long long id = 0;
    std::wstring cls, text, panel, window;
    bool hasClass = false, hasText = false, hasPanel = false, hasWindow = false, visibleOnly = false, mainWindow = false;
    bool hasIndex = false;
    long long index = 0;
    int view = -1;  // view=main|second
    std::wstring source;
};

bool isConditionToken(const Token& t) {
    if (!t.hasKey && !t.quoted && t.value.size() > 1 && t.value[0] == L'#') return true;
    if (!t.hasKey && !t.quoted && (t.value == L"visible" || t.value == L"main" || t.value == L">")) return true;
    if (t.hasKey) {
        return t.key == L"id" || t.key == L"class" || t.key == L"text" || t.key == L"panel" || t.key == L"window" ||
               t.key == L"index" || t.key == L"view";
    }
    return false;
}

// Reads a selector from tokens[pos...]; pos moves past it.
std::vector<Step> parseSelector(const std::vector<Token>& tokens, std::size_t& pos) {
    std::vector<Step> steps(1);
    std::size_t start = pos;
    while (pos < tokens.size() && isConditionToken(tokens[pos])) {
        const Token& t = tokens[pos++];
        Step& s = steps.back();
        if (!t.hasKey && t.value == L">") {
            if (s.source.empty()) throw ParseError{L"empty step before '>' in the selector"};
            steps.emplace_back();
            continue;
        }
        s.source += (s.source.empty() ? L"" : L" ") + (t.hasKey ? t.key + L"=" + quote(t.value) : t.value);
        if (!t.hasKey && t.value[0] == L'#') {
            s.hasId = true;
            s.id = needInt(t.value.substr(1), L"control id");
        } else if (!t.hasKey && t.value == L"visible") {
            s.visibleOnly = true;
        } else if (!t.hasKey && t.value == L"main") {
            s.mainWindow = true;
        } else if (t.key == L"id") {
            s.hasId = true;
            s.id = needInt(t.value, L"id");
        } else if (t.key == L"class") {
            s.hasClass = true;
            s.cls = t.value;
        } else if (t.key == L"text") {
            s.hasText = true;
            s.text = t.value;
        } else if (t.key == L"panel") {
            s.hasPanel = true;
            s.panel = t.value;
        } else if (t.key == L"window") {
            s.hasWindow = true;
            s.window = t.value;
        } else if (t.key == L"index") {
            s.hasIndex = true;
            s.index = needInt(t.value, L"index");
        } else if (t.key == L"view") {
            if (t.value == L"main" || t.value == L"0") s.view = 0;
            else if (t.value == L"second" || t.value == L"1") s.view = 1;
            else throw ParseError{L"view is main or second"};
        }
    }
    if (pos == start || steps.back().source.empty()) throw ParseError{L"a window selector is expected"};
    return steps;
}

std::wstring selectorText(const std::vector<Step>& steps) {
    std::wstring out;
    for (const auto& s : steps) out += (out.empty() ? L"" : L" > ") + s.source;
    return out;
}

// ---------------------------------------------------------------------------
// Dialog answering

constexpr UINT BFFM_SETSELECTION_W = WM_USER + 103;
constexpr int kFileNameCombo = 1148;  // cmb13
constexpr int kFileNameEdit = 1152;   // edt1
constexpr int kMessageText = 0xFFFF;

int buttonId(const std::wstring& name) {
    struct Named {
        const wchar_t* name;
        int id;
    };
    static const Named names[] = {{L"ok", IDOK},       {L"cancel", IDCANCEL},     {L"abort", IDABORT},
                                  {L"retry", IDRETRY}, {L"ignore", IDIGNORE},     {L"yes", IDYES},
                                  {L"no", IDNO},       {L"close", 8},             {L"help", 9},
                                  {L"tryagain", 10},   {L"continue", 11}};
    for (const auto& n : names)
        if (lstrcmpiW(n.name, name.c_str()) == 0) return n.id;
    long long v = 0;
    return parseInt(name, v) ? static_cast<int>(v) : -1;
}

bool hasDescendant(HWND root, const std::function<bool(HWND)>& test) {
    std::vector<HWND> all;
    descendants(root, all);
    return std::any_of(all.begin(), all.end(), test);
}

// Closes a dialog with the most cautious button it has (Cancel, else No, else
// Abort, else OK); returns that button's id, 0 when it had none.
int dismiss(HWND dialog) {
    for (int id : {IDCANCEL, IDNO, IDABORT, IDOK}) {
        if (HWND button = GetDlgItem(dialog, id)) {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
            return id;
        }
    }
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    return 0;
}

VOID CALLBACK dialogTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    try {
        if (Host::Impl* impl = currentImpl()) impl->watchDialogs();
    } catch (...) {
    }
}

// Linux paths (as scripts written on the build machine use them) live on Z:.
std::wstring windowsPath(const std::wstring& path, const std::wstring& base) {
    if (!path.empty() && path[0] == L'/') {
        std::wstring out = L"Z:" + path;
        std::replace(out.begin(), out.end(), L'/', L'\\');
        return out;
    }
    bool absolute = (path.size() >= 2 && path[1] == L':') || (!path.empty() && path[0] == L'\\');
    if (absolute || base.empty()) return path;
    return base + L"\\" + path;
}

// GDI+ PNG encoder.
const CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

struct DcReleaser {
    HWND hwnd;
    HDC dc;
    ~DcReleaser() {
        if (dc) ReleaseDC(hwnd, dc);
    }
};
struct MemoryDc {
    HDC dc;
    ~MemoryDc() {
        if (dc) DeleteDC(dc);
    }
};
struct GdiObject {
    HGDIOBJ object;
    ~GdiObject() {
        if (object) DeleteObject(object);
    }
};

bool screenshot(HWND hwnd, const std::wstring& path, std::wstring& error) {
    RECT r;
    GetWindowRect(hwnd, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) {
        error = L"the window has no area";
        return false;
    }
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    DcReleaser window{hwnd, GetWindowDC(hwnd)};
    MemoryDc memory{CreateCompatibleDC(window.dc)};
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    GdiObject bitmap{CreateDIBSection(window.dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0)};
    if (window.dc == nullptr || memory.dc == nullptr || bitmap.object == nullptr) {
        error = L"cannot create the bitmap";
        return false;
    }
    HGDIOBJ old = SelectObject(memory.dc, bitmap.object);
    BOOL copied = FALSE;
    if (IsWindowVisible(hwnd)) copied = BitBlt(memory.dc, 0, 0, w, h, window.dc, 0, 0, SRCCOPY | CAPTUREBLT);
    if (!copied) copied = PrintWindow(hwnd, memory.dc, 0);
    SelectObject(memory.dc, old);
    if (!copied) {
        error = L"cannot copy the window's pixels";
        return false;
    }
    // Opaque pixels: the window DC leaves the alpha byte at 0.
    auto* px = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < w * h; ++i) px[i] |= 0xFF000000u;
    Gdiplus::GpBitmap* image = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(w, h, w * 4, PixelFormat32bppARGB, static_cast<BYTE*>(bits),
                                                       &image) != Gdiplus::Ok) {
        error = L"GDI+ cannot make the image";
        return false;
    }
    auto status = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &kPngEncoder, nullptr);
    Gdiplus::DllExports::GdipDisposeImage(image);
    if (status != Gdiplus::Ok) {
        error = L"GDI+ cannot write " + path + L" (status " + std::to_wstring(static_cast<int>(status)) + L")";
        return false;
    }
    return true;
}

// Keys: plain characters, and {NAME} or {CTRL+ALT+SHIFT+NAME} for others.
struct KeyStroke {
    bool isChar = false;
    wchar_t ch = 0;
    UINT vk = 0;
    bool ctrl = false, alt = false, shift = false;
};

UINT namedKey(const std::wstring& upper) {
    struct Named {
        const wchar_t* name;
        UINT vk;
    };
    static const Named names[] = {
        {L"ENTER", VK_RETURN}, {L"RETURN", VK_RETURN}, {L"TAB", VK_TAB},       {L"ESC", VK_ESCAPE},
        {L"ESCAPE", VK_ESCAPE}, {L"BACKSPACE", VK_BACK}, {L"BS", VK_BACK},     {L"DELETE", VK_DELETE},
        {L"DEL", VK_DELETE},   {L"INSERT", VK_INSERT}, {L"UP", VK_UP},         {L"DOWN", VK_DOWN},
        {L"LEFT", VK_LEFT},    {L"RIGHT", VK_RIGHT},   {L"HOME", VK_HOME},     {L"END", VK_END},
        {L"PGUP", VK_PRIOR},   {L"PGDN", VK_NEXT},     {L"SPACE", VK_SPACE}};
    for (const auto& n : names)
        if (upper == n.name) return n.vk;
    if (upper.size() >= 2 && upper[0] == L'F') {
        long long f = 0;
        if (parseInt(upper.substr(1), f) && f >= 1 && f <= 24) return static_cast<UINT>(VK_F1 + f - 1);
    }
    if (upper.size() == 1 && ((upper[0] >= L'A' && upper[0] <= L'Z') || (upper[0] >= L'0' && upper[0] <= L'9')))
        return upper[0];
    return 0;
}

std::vector<KeyStroke> parseKeys(const std::wstring& keys) {
    std::vector<KeyStroke> out;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] != L'{') {
            KeyStroke k;
            k.isChar = true;
            k.ch = keys[i];
            out.push_back(k);
            continue;
        }
        auto close = keys.find(L'}', i + 2);
        if (close == std::wstring::npos) throw ParseError{L"'{' without '}' in the keys"};
        std::wstring name = keys.substr(i + 1, close - i - 1);
        i = close;
        if (name == L"{" || name == L"}") {
            KeyStroke k;
            k.isChar = true;
            k.ch = name[0];
            out.push_back(k);
            continue;
        }
        std::wstring upper = name;
        for (auto& c : upper) c = static_cast<wchar_t>(std::towupper(c));
        KeyStroke k;
        std::size_t start = 0;
        while (true) {
            auto plus = upper.find(L'+', start);
            if (plus == std::wstring::npos || plus == upper.size() - 1) break;
            std::wstring mod = upper.substr(start, plus - start);
            if (mod == L"CTRL") k.ctrl = true;
            else if (mod == L"ALT") k.alt = true;
            else if (mod == L"SHIFT") k.shift = true;
            else throw ParseError{L"unknown modifier " + mod};
            start = plus + 1;
        }
        k.vk = namedKey(upper.substr(start));
        if (k.vk == 0) throw ParseError{L"unknown key {" + name + L"}"};
        out.push_back(k);
    }
    return out;
}

}  // namespace

void startGraphics(ULONG_PTR& token) {
    if (token != 0) return;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) token = 0;
}

void stopGraphics(ULONG_PTR& token) {
    if (token != 0) Gdiplus::GdiplusShutdown(token);
    token = 0;
}

// ---------------------------------------------------------------------------
// Modal dialogs

void Host::Impl::startDialogWatch() {
    if (dialogTimer == 0) dialogTimer = SetTimer(nullptr, 0, 50, dialogTimerProc);
}

void Host::Impl::watchDialogs() {
    answeredDialogs.erase(std::remove_if(answeredDialogs.begin(), answeredDialogs.end(),
                                         [](HWND h) { return !IsWindow(h); }),
                          answeredDialogs.end());
    HWND dialog = nullptr;
    for (HWND hwnd : threadWindows()) {
        if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || !sameClass(hwnd, L"#32770")) continue;
        if (std::find(answeredDialogs.begin(), answeredDialogs.end(), hwnd) != answeredDialogs.end()) continue;
        if (std::find(modeless.begin(), modeless.end(), hwnd) != modeless.end()) continue;
        HWND owner = GetWindow(hwnd, GW_OWNER);
        bool modal = false;
        if (owner != nullptr) {
            modal = !IsWindowEnabled(owner);
        } else {
            auto module = reinterpret_cast<HMODULE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
            modal = std::none_of(plugins.begin(), plugins.end(), [&](const auto& p) { return p->module == module; });
        }
        if (modal) {
            dialog = hwnd;
            break;
        }
    }
    if (dialog == nullptr) {
        unexpectedDialog = nullptr;
        return;
    }
    if (answers.empty()) {
        if (!options.dismissUnexpectedDialogs) return;
        if (dialog != unexpectedDialog) {
            unexpectedDialog = dialog;
            unexpectedSince = GetTickCount();
            return;
        }
        if (GetTickCount() - unexpectedSince < 1500) return;
        std::wstring failure = L"unexpected dialog " + quote(windowText(dialog));
        if (HWND text = GetDlgItem(dialog, kMessageText)) failure += L" text " + quote(windowText(text));
        failure += L" closed with button " + std::to_wstring(dismiss(dialog));
        asyncFailures.push_back(failure);
        writeLog(L"  FAIL: " + failure);
        answeredDialogs.push_back(dialog);
        unexpectedDialog = nullptr;
        return;
    }
    Answer answer = answers.front();
    answers.pop_front();
    answeredDialogs.push_back(dialog);
    answerDialog(dialog, answer);
}

void Host::Impl::answerDialog(HWND dialog, const Answer& answer) {
    std::wstring caption = windowText(dialog);
    bool isFolder = hasDescendant(dialog, [](HWND h) { return sameClass(h, WC_TREEVIEWW); });
    bool isFile = GetDlgItem(dialog, kFileNameCombo) != nullptr || GetDlgItem(dialog, kFileNameEdit) != nullptr;
    auto fail = [&](const std::wstring& why) {
        std::wstring failure = L"dialog " + quote(caption) + L": " + why + L" (answer from: " + answer.source + L")";
        asyncFailures.push_back(failure);
        writeLog(L"  FAIL: " + failure);
        dismiss(dialog);
    };
    switch (answer.kind) {
        case AnswerKind::Message: {
            HWND textWindow = GetDlgItem(dialog, kMessageText);
            std::wstring text = textWindow != nullptr ? windowText(textWindow) : std::wstring();
            writeLog(L"  dialog: message box caption=" + quote(caption) + L" text=" + quote(text) + L" -> " +
                     answer.value);
            if (isFile || isFolder || textWindow == nullptr) return fail(L"not a message box");
            if (answer.hasCaption && caption != answer.expectCaption)
                return fail(L"caption is not " + quote(answer.expectCaption));
            if (answer.hasText && text != answer.expectText) return fail(L"text is not " + quote(answer.expectText));
            int id = buttonId(answer.value);
            HWND button = GetDlgItem(dialog, id);
            if (button == nullptr) return fail(L"it has no button " + answer.value);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
            return;
        }
        case AnswerKind::File: {
            writeLog(L"  dialog: file dialog caption=" + quote(caption) + L" -> " + quote(answer.value));
            if (!isFile) return fail(L"not a file dialog");
            int id = GetDlgItem(dialog, kFileNameCombo) != nullptr ? kFileNameCombo : kFileNameEdit;
            SetDlgItemTextW(dialog, id, answer.value.c_str());
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
            return;
        }
        case AnswerKind::Folder: {
            writeLog(L"  dialog: folder browser caption=" + quote(caption) + L" -> " + quote(answer.value));
            if (!isFolder) return fail(L"not a folder browser");
            SendMessageW(dialog, BFFM_SETSELECTION_W, TRUE, reinterpret_cast<LPARAM>(answer.value.c_str()));
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
            return;
        }
    }
}

// ---------------------------------------------------------------------------
// Log

void Host::Impl::writeLog(const std::wstring& line) {
    log.push_back(line);
    if (logFile) {
        std::string bytes = text::toUtf8(line) + "\r\n";
        DWORD written = 0;
        WriteFile(logFile.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
}

// ---------------------------------------------------------------------------
// Commands

CommandResult Host::Impl::runLine(const std::wstring& line) {
    std::size_t failuresBefore = asyncFailures.size();
    CommandResult result;
    try {
        result = execute(line);
    } catch (const ParseError& e) {
        result = CommandResult{false, e.what};
    } catch (const std::bad_alloc&) {
        result = CommandResult{false, L"out of memory"};
    } catch (const std::exception&) {
        result = CommandResult{false, L"internal error"};
    }
    if (!shutDown) pump(30);
    if (result.ok && asyncFailures.size() > failuresBefore) {
        result.ok = false;
        result.message = asyncFailures.back();
    }
    return result;
}

CommandResult Host::Impl::execute(const std::wstring& line) {
    std::vector<Token> tokens = tokenize(line);
    if (tokens.empty()) return {true, L""};
    if (shutDown) return {false, L"the host has shut down"};
    const std::wstring command = tokens[0].value;
    std::size_t pos = 1;
    auto arg = [&](const wchar_t* what) -> std::wstring {
        if (pos >= tokens.size()) throw ParseError{std::wstring(L"missing ") + what};
        const Token& t = tokens[pos++];
        return t.hasKey ? t.key + L"=" + t.value : t.value;
    };
    auto finish = [&]() {
        if (pos < tokens.size()) throw ParseError{L"unexpected argument " + quote(tokens[pos].value)};
    };
    auto ok = [](const std::wstring& m = L"") { return CommandResult{true, m}; };
    auto failure = [](const std::wstring& m) { return CommandResult{false, m}; };
    auto path = [&](const wchar_t* what) { return windowsPath(arg(what), baseFolder); };

    // Finds exactly one window for a selector.
    auto resolve = [&](const std::vector<Step>& steps, std::wstring& error) -> HWND {
        std::vector<HWND> scope;
        for (std::size_t si = 0; si < steps.size(); ++si) {
            const Step& s = steps[si];
            std::vector<HWND> candidates;
            if (s.mainWindow) {
                candidates.push_back(main);
            } else if (s.view >= 0) {
                candidates.push_back(views[s.view]);
            } else if (s.hasPanel) {
                for (auto& p : panels)
                    if (panelName(*p) == s.panel || (p->data.pszName != nullptr && s.panel == p->data.pszName))
                        candidates.push_back(p->data.hClient);
            } else if (s.hasWindow) {
                for (HWND h : threadWindows())
                    if (windowText(h) == s.window) candidates.push_back(h);
            } else if (si == 0) {
                for (HWND top : threadWindows()) {
                    candidates.push_back(top);
                    descendants(top, candidates);
                }
            } else {
                for (HWND parent : scope) descendants(parent, candidates);
            }
            if (si > 0 && (s.mainWindow || s.view >= 0 || s.hasPanel || s.hasWindow)) {
                // Keep only those inside the previous step's window.
                candidates.erase(std::remove_if(candidates.begin(), candidates.end(),
                                                [&](HWND h) {
                                                    return std::none_of(scope.begin(), scope.end(), [&](HWND p) {
                                                        return IsChild(p, h) != FALSE;
                                                    });
                                                }),
                                 candidates.end());
            }
            std::vector<HWND> matches;
            for (HWND h : candidates) {
                if (s.hasId && GetDlgCtrlID(h) != s.id) continue;
                if (s.hasClass && lstrcmpiW(className(h).c_str(), s.cls.c_str()) != 0) continue;
                if (s.hasText && windowText(h) != s.text) continue;
                if (s.visibleOnly && !IsWindowVisible(h)) continue;
                if (std::find(matches.begin(), matches.end(), h) == matches.end()) matches.push_back(h);
            }
            if (s.hasIndex) {
                if (s.index < 0 || s.index >= static_cast<long long>(matches.size())) {
                    error = L"selector step " + quote(s.source) + L" has " + std::to_wstring(matches.size()) +
                            L" matches, no index " + std::to_wstring(s.index);
                    return nullptr;
                }
                matches = {matches[static_cast<std::size_t>(s.index)]};
            }
            if (matches.empty()) {
                error = L"no window matches " + quote(s.source) + (si > 0 ? L" inside the previous step" : L"");
                return nullptr;
            }
            if (si + 1 == steps.size() && matches.size() > 1) {
                error = L"selector " + quote(selectorText(steps)) + L" matches " + std::to_wstring(matches.size()) +
                        L" windows; add conditions or index=N";
                return nullptr;
            }
            scope = matches;
        }
        return scope.front();
    };
    auto target = [&]() -> HWND {
        std::vector<Step> steps = parseSelector(tokens, pos);
        std::wstring error;
        HWND h = resolve(steps, error);
        if (h == nullptr) throw ParseError{error};
        return h;
    };

    if (command == L"open") {
        std::wstring p = path(L"file path");
        finish();
        std::wstring error;
        if (!open(p, &error)) return failure(error);
        return ok(L"opened " + current()->path + L" as " + encodingName(current()->encoding));
    }
    if (command == L"activate") {
        std::wstring p = path(L"file path");
        finish();
        return owner->activateDocument(p) ? ok() : failure(L"no open document " + quote(p));
    }
    if (command == L"view") {
        std::wstring which = arg(L"main or second");
        finish();
        if (which == L"main" || which == L"0") owner->setCurrentView(0);
        else if (which == L"second" || which == L"1") owner->setCurrentView(1);
        else return failure(L"view is main or second");
        return ok();
    }
    if (command == L"caret") {
        long long line = needInt(arg(L"line"), L"line");
        long long column = pos < tokens.size() ? needInt(arg(L"column"), L"column") : 1;
        finish();
        if (!owner->setCaret(static_cast<int>(line - 1), static_cast<int>(column - 1)))
            return failure(L"no line " + std::to_wstring(line) + L" column " + std::to_wstring(column));
        return ok();
    }
    if (command == L"menu") {
        std::wstring menu = arg(L"plugin menu"), item = arg(L"menu item");
        finish();
        int id = findCommand(menu, item);
        if (id < 0) return failure(L"no menu item " + quote(menu) + L" > " + quote(item));
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
        return ok(L"command " + std::to_wstring(id));
    }
    if (command == L"command") {
        long long id = needInt(arg(L"command id"), L"command id");
        finish();
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
        return ok();
    }
    if (command == L"encoding") {
        std::wstring name = arg(L"encoding");
        finish();
        static const wchar_t* names[] = {L"ansi", L"utf8", L"utf8bom", L"ucs2be", L"ucs2le"};
        for (UINT i = 0; i < 5; ++i) {
            if (name == names[i]) {
                SendMessageW(main, WM_COMMAND, MAKEWPARAM(npp::IDM_FORMAT_CONV2_ANSI + i, 0), 0);
                return ok();
            }
        }
        return failure(L"encoding is ansi, utf8, utf8bom, ucs2be or ucs2le");
    }
    if (command == L"clipboard") {
        std::wstring value = arg(L"text");
        finish();
        if (!owner->setClipboardText(value)) return failure(L"cannot write the clipboard");
        if (IsWindowVisible(main) && GetForegroundWindow() != main)
            return failure(L"written, but the host could not come to the front");
        return ok();
    }
    if (command == L"save") {
        std::wstring p = path(L"file path");
        finish();
        if (current() == nullptr) return failure(L"no document");
        return owner->saveCurrentAs(p) ? ok() : failure(L"cannot write " + p + L": " + formatWin32Error(GetLastError()));
    }
    if (command == L"dump") {
        std::wstring p = path(L"file path");
        finish();
        std::wstring out;
        std::vector<HWND> done;
        for (auto& panel : panels) {
            out += L"panel " + quote(panelName(*panel)) + L" container=" +
                   (panel->container == 4 ? std::wstring(L"floating")
                                          : std::wstring(std::vector<const wchar_t*>{L"left", L"right", L"top",
                                                                                     L"bottom"}[static_cast<std::size_t>(
                                                panel->container)])) +
                   L" shown=" + (panel->shown ? L"1" : L"0") + L"\n";
            dumpTree(panel->data.hClient, 1, out);
            done.push_back(panel->data.hClient);
        }
        for (HWND dlg : modeless) {
            if (!IsWindow(dlg) || std::find(done.begin(), done.end(), dlg) != done.end()) continue;
            out += L"dialog " + quote(windowText(dlg)) + L"\n";
            dumpTree(dlg, 1, out);
            done.push_back(dlg);
        }
        auto byPlugin = [&](HWND h) {
            auto module = reinterpret_cast<HMODULE>(GetWindowLongPtrW(h, GWLP_HINSTANCE));
            return std::any_of(plugins.begin(), plugins.end(), [&](const auto& q) { return q->module == module; });
        };
        for (HWND top : threadWindows()) {
            if (!byPlugin(top) || std::find(done.begin(), done.end(), top) != done.end()) continue;
            out += L"window " + quote(windowText(top)) + L"\n";
            dumpTree(top, 1, out);
        }
        // Windows a plugin made on the main window without registering them.
        for (HWND child = GetWindow(main, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!byPlugin(child) || std::find(done.begin(), done.end(), child) != done.end()) continue;
            out += L"child " + quote(windowText(child)) + L"\n";
            dumpTree(child, 1, out);
        }
        if (!writeFileBytes(p, text::toUtf8(out))) return failure(L"cannot write " + p);
        return ok();
    }
    if (command == L"settext") {
        HWND h = target();
        std::wstring value = arg(L"text");
        finish();
        SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
        return ok();
    }
    if (command == L"select" || command == L"select-index") {
        HWND h = target();
        std::wstring wanted = arg(command == L"select" ? L"item text" : L"item index");
        finish();
        ListInfo info = listInfo(h);
        if (!info.isList) return failure(L"not a list, combo box, list view or tab control: " + describe(h));
        long long index = -1;
        if (command == L"select-index") {
            index = needInt(wanted, L"item index");
        } else {
            for (std::size_t i = 0; i < info.items.size(); ++i)
                if (info.items[i] == wanted) {
                    index = static_cast<long long>(i);
                    break;
                }
        }
        if (index < 0 || index >= static_cast<long long>(info.items.size()))
            return failure(L"no such item " + quote(wanted) + L" among " + std::to_wstring(info.items.size()));
        HWND parent = GetParent(h);
        WORD id = static_cast<WORD>(GetDlgCtrlID(h));
        auto w = static_cast<WPARAM>(index);
        if (sameClass(h, L"ListBox")) {
            if ((GetWindowLongPtrW(h, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0) {
                SendMessageW(h, LB_SETSEL, FALSE, -1);
                SendMessageW(h, LB_SETSEL, TRUE, static_cast<LPARAM>(index));
                SendMessageW(h, LB_SETCARETINDEX, w, 0);
            } else {
                SendMessageW(h, LB_SETCURSEL, w, 0);
            }
            SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(h));
        } else if (sameClass(h, L"ComboBox")) {
            SendMessageW(h, CB_SETCURSEL, w, 0);
            SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(h));
            SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(h));
        } else if (sameClass(h, WC_TABCONTROLW)) {
            SendMessageW(h, TCM_SETCURSEL, w, 0);
            NMHDR header{h, static_cast<UINT_PTR>(id), static_cast<UINT>(TCN_SELCHANGE)};
            SendMessageW(parent, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
        } else {
            LVITEMW item{};
            item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            item.state = 0;
            SendMessageW(h, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
            item.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(h, LVM_SETITEMSTATE, w, reinterpret_cast<LPARAM>(&item));
        }
        return ok(L"selected " + std::to_wstring(index));
    }
    if (command == L"click" || command == L"dblclick") {
        HWND h = target();
        finish();
        if (!IsWindowEnabled(h)) return failure(L"the window is disabled: " + describe(h));
        if (command == L"click" && sameClass(h, L"Button")) {
            SendMessageW(h, BM_CLICK, 0, 0);
            return ok();
        }
        RECT r;
        GetClientRect(h, &r);
        POINT p{r.right / 2, r.bottom / 2};
        if (sameClass(h, L"ListBox")) {
            auto sel = SendMessageW(h, LB_GETCURSEL, 0, 0);
            RECT item{};
            if (sel >= 0 && SendMessageW(h, LB_GETITEMRECT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(&item)) != LB_ERR)
                p = POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        }
        LPARAM at = MAKELPARAM(p.x, p.y);
        SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(h, WM_LBUTTONUP, 0, at);
        if (command == L"dblclick") {
            SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
            SendMessageW(h, WM_LBUTTONUP, 0, at);
        }
        return ok();
    }
    if (command == L"keys") {
        HWND h = target();
        std::vector<KeyStroke> strokes = parseKeys(arg(L"keys"));
        finish();
        SetForegroundWindow(GetAncestor(h, GA_ROOT));
        SetFocus(h);
        for (const KeyStroke& k : strokes) {
            if (k.isChar) {
                PostMessageW(h, WM_CHAR, k.ch, 1);
                pump(0);
                continue;
            }
            BYTE saved[256] = {}, state[256] = {};
            GetKeyboardState(saved);
            std::copy(saved, saved + 256, state);
            if (k.ctrl) state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
            if (k.alt) state[VK_MENU] = state[VK_LMENU] = 0x80;
            if (k.shift) state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
            SetKeyboardState(state);
            UINT down = k.alt && !k.ctrl ? WM_SYSKEYDOWN : WM_KEYDOWN;
            UINT up = k.alt && !k.ctrl ? WM_SYSKEYUP : WM_KEYUP;
            LPARAM flags = 1 | (static_cast<LPARAM>(MapVirtualKeyW(k.vk, MAPVK_VK_TO_VSC)) << 16) |
                           (k.alt ? (1 << 29) : 0);
            PostMessageW(h, down, k.vk, flags);
            pump(0);
            PostMessageW(h, up, k.vk, flags | (1u << 30) | (1u << 31));
            pump(0);
            SetKeyboardState(saved);
        }
        return ok();
    }
    if (command == L"answer") {
        std::wstring kind = arg(L"message, file or folder");
        Answer a;
        a.source = line;
        if (kind == L"message") {
            a.kind = AnswerKind::Message;
            a.value = arg(L"button");
            if (buttonId(a.value) < 0) return failure(L"unknown button " + quote(a.value));
            while (pos < tokens.size()) {
                const Token& t = tokens[pos++];
                if (t.hasKey && t.key == L"caption") a.hasCaption = true, a.expectCaption = t.value;
                else if (t.hasKey && t.key == L"text") a.hasText = true, a.expectText = t.value;
                else throw ParseError{L"unexpected argument " + quote(t.value)};
            }
        } else if (kind == L"file" || kind == L"folder") {
            a.kind = kind == L"file" ? AnswerKind::File : AnswerKind::Folder;
            a.value = path(L"path");
            finish();
        } else {
            return failure(L"answer message|file|folder");
        }
        answers.push_back(a);
        return ok(std::to_wstring(answers.size()) + L" answer(s) queued");
    }
    if (command == L"screenshot") {
        HWND h = target();
        std::wstring p = path(L"file path");
        finish();
        std::wstring error;
        if (!screenshot(h, p, error)) return failure(error);
        return ok(L"wrote " + p);
    }
    if (command == L"wait") {
        long long ms = needInt(arg(L"milliseconds"), L"milliseconds");
        finish();
        if (ms < 0 || ms > 600000) return failure(L"wait takes 0 to 600000 ms");
        pump(static_cast<int>(ms));
        return ok();
    }
    if (command == L"dock") {
        HWND h = target();
        std::wstring where = arg(L"left, right, top, bottom or floating");
        finish();
        static const wchar_t* names[] = {L"left", L"right", L"top", L"bottom", L"floating"};
        for (int i = 0; i < 5; ++i)
            if (where == names[i])
                return owner->dockPanel(h, static_cast<Container>(i)) ? ok() : failure(L"not a docked panel");
        return failure(L"dock takes left, right, top, bottom or floating");
    }
    if (command == L"close-panel") {
        HWND h = target();
        finish();
        return owner->closePanel(h) ? ok() : failure(L"not a docked panel");
    }
    if (command == L"unload" || command == L"reload") {
        std::wstring name = arg(L"plugin folder name");
        finish();
        bool done = command == L"unload" ? owner->unloadPlugin(name) : owner->reloadPlugin(name);
        return done ? ok() : failure(L"cannot " + command + L" " + quote(name));
    }
    if (command == L"log") {
        std::wstring note = arg(L"text");
        finish();
        return ok(note);
    }
    if (command == L"quit") {
        finish();
        quitRequested = true;
        return ok();
    }
    if (command == L"expect") {
        std::wstring what = arg(L"what to expect");
        auto verdict = [&](bool good, const std::wstring& actual) {
            return good ? ok() : failure(L"expected " + what + L", found " + actual);
        };
        if (what == L"checked" || what == L"unchecked") {
            std::wstring menu = arg(L"plugin menu"), item = arg(L"menu item");
            finish();
            int id = findCommand(menu, item);
            if (id < 0) return failure(L"no menu item " + quote(menu) + L" > " + quote(item));
            bool checked = owner->isCheckedId(id);
            return verdict(checked == (what == L"checked"), checked ? L"checked" : L"unchecked");
        }
        if (what == L"text" || what == L"contains") {
            HWND h = target();
            std::wstring wanted = arg(L"text");
            finish();
            std::wstring actual = windowText(h);
            bool good = what == L"text" ? actual == wanted : actual.find(wanted) != std::wstring::npos;
            return verdict(good, quote(actual));
        }
        if (what == L"visible" || what == L"hidden" || what == L"enabled" || what == L"disabled") {
            HWND h = target();
            finish();
            bool flag = (what == L"visible" || what == L"hidden") ? IsWindowVisible(h) != FALSE : IsWindowEnabled(h) != FALSE;
            bool want = what == L"visible" || what == L"enabled";
            return verdict(flag == want, describe(h));
        }
        if (what == L"exists" || what == L"missing") {
            std::vector<Step> steps = parseSelector(tokens, pos);
            finish();
            std::wstring error;
            HWND h = resolve(steps, error);
            if (what == L"exists") return h != nullptr ? ok() : failure(error);
            return h == nullptr ? ok() : failure(L"expected no window, found " + describe(h));
        }
        if (what == L"items" || what == L"item" || what == L"selection") {
            HWND h = target();
            ListInfo info = listInfo(h);
            if (!info.isList) return failure(L"not a list: " + describe(h));
            if (what == L"items") {
                long long n = needInt(arg(L"count"), L"count");
                finish();
                return verdict(static_cast<long long>(info.items.size()) == n, std::to_wstring(info.items.size()));
            }
            if (what == L"item") {
                long long i = needInt(arg(L"index"), L"index");
                std::wstring wanted = arg(L"text");
                finish();
                if (i < 0 || i >= static_cast<long long>(info.items.size()))
                    return failure(L"no item " + std::to_wstring(i));
                return verdict(info.items[static_cast<std::size_t>(i)] == wanted,
                               quote(info.items[static_cast<std::size_t>(i)]));
            }
            std::wstring wanted = arg(L"text");
            finish();
            std::wstring actual = info.selection >= 0 && info.selection < static_cast<int>(info.items.size())
                                      ? info.items[static_cast<std::size_t>(info.selection)]
                                      : std::wstring(L"<none>");
            return verdict(info.selection >= 0 && actual == wanted, quote(actual));
        }
        if (what == L"line") {
            long long n = needInt(arg(L"line"), L"line");
            std::wstring wanted = arg(L"text");
            finish();
            int v = currentView;
            if (n < 1 || n > send(v, npp::SCI_GETLINECOUNT)) return failure(L"no line " + std::to_wstring(n));
            auto start = send(v, npp::SCI_POSITIONFROMLINE, static_cast<WPARAM>(n - 1));
            auto end = send(v, npp::SCI_GETLINEENDPOSITION, static_cast<WPARAM>(n - 1));
            std::string bytes(static_cast<std::size_t>(end - start) + 1, '\0');
            npp::Sci_TextRangeFull range{start, end, bytes.data()};
            send(v, npp::SCI_GETTEXTRANGEFULL, 0, reinterpret_cast<LPARAM>(&range));
            bytes.resize(static_cast<std::size_t>(end - start));
            unsigned cp = static_cast<unsigned>(send(v, npp::SCI_GETCODEPAGE));
            std::wstring actual = text::fromCodePage(bytes, cp == 65001 ? text::kCodePageUtf8 : text::kCodePageAnsi);
            return verdict(actual == wanted, quote(actual));
        }
        if (what == L"caret") {
            long long line = needInt(arg(L"line"), L"line");
            long long column = pos < tokens.size() ? needInt(arg(L"column"), L"column") : -1;
            finish();
            int v = currentView;
            auto p = send(v, npp::SCI_GETCURRENTPOS);
            auto l = send(v, npp::SCI_LINEFROMPOSITION, static_cast<WPARAM>(p));
            auto c = send(v, sci::GetColumn, static_cast<WPARAM>(p));
            bool good = l + 1 == line && (column < 0 || c + 1 == column);
            return verdict(good, L"line " + std::to_wstring(l + 1) + L" column " + std::to_wstring(c + 1));
        }
        if (what == L"codepage") {
            long long cp = needInt(arg(L"code page"), L"code page");
            finish();
            auto actual = send(currentView, npp::SCI_GETCODEPAGE);
            return verdict(actual == cp, std::to_wstring(actual));
        }
        if (what == L"eol") {
            std::wstring name = arg(L"crlf, cr or lf");
            finish();
            auto mode = send(currentView, npp::SCI_GETEOLMODE);
            const wchar_t* actual = mode == 0 ? L"crlf" : mode == 1 ? L"cr" : L"lf";
            return verdict(name == actual, actual);
        }
        if (what == L"encoding") {
            std::wstring name = arg(L"encoding");
            finish();
            std::wstring actual = current() != nullptr ? encodingName(current()->encoding) : L"<no document>";
            return verdict(name == actual, actual);
        }
        if (what == L"document-contains") {
            std::wstring wanted = arg(L"text");
            finish();
            std::string bytes = owner->documentBytes();
            bool unicode = current() == nullptr || isUnicodeEncoding(current()->encoding);
            std::string needle = unicode ? text::toUtf8(wanted) : text::toCodePage(wanted, text::kCodePageAnsi);
            return verdict(bytes.find(needle) != std::string::npos, std::to_wstring(bytes.size()) + L" bytes without it");
        }
        if (what == L"clipboard") {
            std::wstring wanted = arg(L"text");
            finish();
            std::wstring actual = owner->clipboardText();
            return verdict(actual == wanted, quote(actual));
        }
        if (what == L"message-to") {
            std::wstring targetName = arg(L"target module");
            long long code = pos < tokens.size() ? needInt(arg(L"code"), L"code") : -1;
            bool hasKey = pos < tokens.size();
            std::wstring key = hasKey ? arg(L"key") : L"";
            finish();
            for (const auto& m : messages) {
                if (m.target == targetName && (code < 0 || m.internalMsg == code) && (!hasKey || m.key == key))
                    return ok();
            }
            return failure(L"no such plugin message among " + std::to_wstring(messages.size()));
        }
        if (what == L"panel") {
            HWND h = target();
            std::wstring where = arg(L"left, right, top, bottom, floating or hidden");
            finish();
            static const wchar_t* names[] = {L"left", L"right", L"top", L"bottom", L"floating"};
            Container c = owner->containerOf(h);
            std::wstring actual = c == Container::Hidden ? L"hidden"
                                  : c == Container::Unknown ? L"not a panel"
                                                            : names[static_cast<int>(c)];
            return verdict(actual == where, actual);
        }
        if (what == L"answered") {
            finish();
            return verdict(answers.empty(), std::to_wstring(answers.size()) + L" unused answer(s)");
        }
        return failure(L"unknown expectation " + quote(what));
    }
    return failure(L"unknown command " + quote(command));
}

// ---------------------------------------------------------------------------

CommandResult Host::runLine(const std::wstring& line) { return impl_->runLine(line); }

bool Host::runScript(const std::wstring& scriptPath, const std::wstring& logPath) {
    Impl& impl = *impl_;
    if (!logPath.empty()) {
        impl.logFile.reset(CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    std::string bytes;
    int failed = 0, count = 0;
    if (!readFileBytes(scriptPath, bytes)) {
        impl.writeLog(L"FAIL: cannot read the script " + scriptPath);
        failed = 1;
    } else {
        if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
        wchar_t full[MAX_PATH * 4] = {};
        GetFullPathNameW(scriptPath.c_str(), MAX_PATH * 4, full, nullptr);
        impl.baseFolder = folderOf(full);
        std::wstring all = text::fromUtf8(bytes);
        std::wstringstream lines(all);
        std::wstring line;
        int number = 0;
        while (std::getline(lines, line)) {
            ++number;
            if (!line.empty() && line.back() == L'\r') line.pop_back();
            auto first = line.find_first_not_of(L" \t");
            if (first == std::wstring::npos || line[first] == L'#') continue;
            ++count;
            impl.writeLog(L"[" + std::to_wstring(number) + L"] " + line.substr(first));
            CommandResult r = impl.runLine(line);
            if (r.ok) {
                impl.writeLog(L"  ok" + (r.message.empty() ? std::wstring() : L": " + r.message));
            } else {
                ++failed;
                impl.writeLog(L"  FAIL: " + r.message);
            }
            if (impl.quitRequested || impl.shutDown) break;
        }
        if (!impl.answers.empty()) {
            ++failed;
            impl.writeLog(L"FAIL: " + std::to_wstring(impl.answers.size()) +
                          L" queued dialog answer(s) never used, first from: " + impl.answers.front().source);
        }
    }
    impl.writeLog(L"summary: " + std::to_wstring(count) + L" commands, " + std::to_wstring(failed) + L" failed");
    if (!logPath.empty()) impl.logFile.reset();
    return failed == 0;
}

}  // namespace host
