// Reading a script line: words, quoted strings, numbers, paths, keys and
// window selectors.
#include "Script.h"
#include "WindowQueries.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace host {

std::vector<Token> tokenize(const std::wstring& line) {
    std::vector<Token> tokens;
    std::size_t i = 0, n = line.size();
    auto readQuoted = [&](std::wstring& out) {
        ++i;  // opening quote
        while (i < n && line[i] != L'"') {
            if (line[i] == L'\\' && i + 1 < n) {
                ++i;
                switch (line[i]) {
                case L'n':
                    out += L'\n';
                    break;
                case L'r':
                    out += L'\r';
                    break;
                case L't':
                    out += L'\t';
                    break;
                default:
                    out += line[i];
                    break;
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
        case L'"':
            out += L"\\\"";
            break;
        case L'\\':
            out += L"\\\\";
            break;
        case L'\n':
            out += L"\\n";
            break;
        case L'\r':
            out += L"\\r";
            break;
        case L'\t':
            out += L"\\t";
            break;
        default:
            out += c;
            break;
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

// ---------------------------------------------------------------------------
// Keys: plain characters, and {NAME} or {CTRL+ALT+SHIFT+NAME} for others.

namespace {

UINT namedKey(const std::wstring& upper) {
    struct Named {
        const wchar_t* name;
        UINT vk;
    };
    static const Named names[] = {
        {L"ENTER", VK_RETURN},  {L"RETURN", VK_RETURN},  {L"TAB", VK_TAB},    {L"ESC", VK_ESCAPE},
        {L"ESCAPE", VK_ESCAPE}, {L"BACKSPACE", VK_BACK}, {L"BS", VK_BACK},    {L"DELETE", VK_DELETE},
        {L"DEL", VK_DELETE},    {L"INSERT", VK_INSERT},  {L"UP", VK_UP},      {L"DOWN", VK_DOWN},
        {L"LEFT", VK_LEFT},     {L"RIGHT", VK_RIGHT},    {L"HOME", VK_HOME},  {L"END", VK_END},
        {L"PGUP", VK_PRIOR},    {L"PGDN", VK_NEXT},      {L"SPACE", VK_SPACE}};
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

}  // namespace

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
            if (mod == L"CTRL")
                k.ctrl = true;
            else if (mod == L"ALT")
                k.alt = true;
            else if (mod == L"SHIFT")
                k.shift = true;
            else
                throw ParseError{L"unknown modifier " + mod};
            start = plus + 1;
        }
        k.vk = namedKey(upper.substr(start));
        if (k.vk == 0) throw ParseError{L"unknown key {" + name + L"}"};
        out.push_back(k);
    }
    return out;
}

// ---------------------------------------------------------------------------
// Selectors

namespace {

bool isConditionToken(const Token& t) {
    if (!t.hasKey && !t.quoted && t.value.size() > 1 && t.value[0] == L'#') return true;
    if (!t.hasKey && !t.quoted && (t.value == L"visible" || t.value == L"main" || t.value == L">")) return true;
    if (t.hasKey) {
        return t.key == L"id" || t.key == L"class" || t.key == L"text" || t.key == L"panel" || t.key == L"window" ||
               t.key == L"index" || t.key == L"view";
    }
    return false;
}

}  // namespace

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
            if (t.value == L"main" || t.value == L"0")
                s.view = 0;
            else if (t.value == L"second" || t.value == L"1")
                s.view = 1;
            else
                throw ParseError{L"view is main or second"};
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
// Arguments

Arguments::Arguments(Host::Impl& host, const std::wstring& line, std::vector<Token> tokens)
    : host_(host), line_(line), tokens_(std::move(tokens)) {}

const Token& Arguments::nextToken(const wchar_t* what) {
    if (pos_ >= tokens_.size()) throw ParseError{std::wstring(L"missing ") + what};
    return tokens_[pos_++];
}

std::wstring Arguments::next(const wchar_t* what) {
    const Token& t = nextToken(what);
    return t.hasKey ? t.key + L"=" + t.value : t.value;
}

long long Arguments::number(const wchar_t* what) { return needInt(next(what), what); }

std::wstring Arguments::path(const wchar_t* what) { return windowsPath(next(what), host_.script.baseFolder); }

std::vector<Step> Arguments::selector() { return parseSelector(tokens_, pos_); }

HWND Arguments::window() {
    std::vector<Step> steps = selector();
    std::wstring error;
    HWND h = findWindow(host_, steps, error);
    if (h == nullptr) throw ParseError{error};
    return h;
}

void Arguments::finish() const {
    if (pos_ < tokens_.size()) throw ParseError{L"unexpected argument " + quote(tokens_[pos_].value)};
}

}  // namespace host
