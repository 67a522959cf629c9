#include "skin/SkinReferences.h"

#include "base/TextCodec.h"
#include "skin/MediaPaths.h"

#include <cwctype>

namespace skin {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isNameStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u == ':' || u >= 0x80;
}

bool isNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return isNameStart(c) || (u >= '0' && u <= '9') || u == '-' || u == '.';
}

void appendUtf8(std::string& out, unsigned long code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return;
    }
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// The text as an XML reader hands it over: the predefined entities and
// character references replaced; anything else left as written.
std::string decodeEntities(std::string_view raw) {
    static const struct {
        std::string_view entity;
        char c;
    } kNamed[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size();) {
        if (raw[i] != '&') {
            out.push_back(raw[i++]);
            continue;
        }
        bool done = false;
        for (const auto& named : kNamed) {
            if (raw.compare(i, named.entity.size(), named.entity) == 0) {
                out.push_back(named.c);
                i += named.entity.size();
                done = true;
                break;
            }
        }
        const std::size_t semicolon = raw.find(';', i);
        if (!done && raw.compare(i, 2, "&#") == 0 && semicolon != std::string_view::npos && semicolon - i <= 10) {
            const bool hex = i + 2 < raw.size() && (raw[i + 2] == 'x' || raw[i + 2] == 'X');
            unsigned long code = 0;
            bool digits = false;
            bool valid = true;
            for (std::size_t k = i + (hex ? 3 : 2); k < semicolon; ++k) {
                const char c = raw[k];
                int v = -1;
                if (c >= '0' && c <= '9')
                    v = c - '0';
                else if (hex && c >= 'a' && c <= 'f')
                    v = c - 'a' + 10;
                else if (hex && c >= 'A' && c <= 'F')
                    v = c - 'A' + 10;
                if (v < 0) {
                    valid = false;
                    break;
                }
                code = code * (hex ? 16 : 10) + static_cast<unsigned long>(v);
                digits = true;
            }
            if (valid && digits) {
                appendUtf8(out, code);
                i = semicolon + 1;
                done = true;
            }
        }
        if (!done) {
            out.push_back(raw[i++]);
        }
    }
    return out;
}

// The span [begin, end) without the blanks around it.
void trim(std::string_view line, std::size_t& begin, std::size_t& end) {
    while (begin < end && isBlank(line[begin])) ++begin;
    while (end > begin && isBlank(line[end - 1])) --end;
}

bool addReference(std::string_view line, std::size_t begin, std::size_t end, ReferenceKind kind,
                  std::vector<Reference>& out) {
    trim(line, begin, end);
    if (begin == end) {
        return false;
    }
    Reference ref;
    ref.kind = kind;
    ref.begin = begin;
    ref.end = end;
    ref.name = preview::DecodeSkinText(decodeEntities(line.substr(begin, end - begin)));
    if (kind == ReferenceKind::Texture && !IsTexturePath(ref.name)) {
        return false;
    }
    out.push_back(std::move(ref));
    return true;
}

struct Attribute {
    std::string_view name;
    std::size_t begin = 0;  // the value, without its quotes
    std::size_t end = 0;
};

}  // namespace

const wchar_t* kindName(ReferenceKind kind) {
    switch (kind) {
    case ReferenceKind::Texture:
        return L"texture";
    case ReferenceKind::Include:
        return L"include";
    case ReferenceKind::IncludeFile:
        return L"include file";
    }
    return L"";
}

ReferenceRules::ReferenceRules(const std::vector<std::wstring>& imageElements) {
    for (const std::wstring& name : imageElements) {
        imageElements_.insert(text::toUtf8(name));
    }
}

bool ReferenceRules::isImageElement(std::string_view name) const {
    return imageElements_.count(std::string(name)) != 0;
}

LineState ReferenceRules::scanLine(std::string_view line, LineState state, std::vector<Reference>& out) const {
    const std::size_t n = line.size();
    std::size_t i = 0;
    std::vector<Attribute> attributes;
    while (i < n) {
        if (state != LineState::Text) {
            const std::size_t close = line.find(state == LineState::Comment ? "-->" : "]]>", i);
            if (close == std::string_view::npos) {
                return state;
            }
            i = close + 3;
            state = LineState::Text;
            continue;
        }
        const std::size_t open = line.find('<', i);
        if (open == std::string_view::npos) {
            break;
        }
        if (line.compare(open, 4, "<!--") == 0) {
            state = LineState::Comment;
            i = open + 4;
            continue;
        }
        if (line.compare(open, 9, "<![CDATA[") == 0) {
            state = LineState::CData;
            i = open + 9;
            continue;
        }
        if (open + 1 >= n || !isNameStart(line[open + 1])) {
            i = open + 1;  // an end tag, a declaration, or a stray '<'
            continue;
        }
        std::size_t j = open + 1;
        while (j < n && isNameChar(line[j])) ++j;
        const std::string_view element = line.substr(open + 1, j - open - 1);

        // The attributes up to the end of the start tag; a tag that runs on
        // into the next line keeps what this line holds of it.
        attributes.clear();
        bool complete = false;
        bool selfClosing = false;
        while (j < n) {
            while (j < n && isBlank(line[j])) ++j;
            if (j >= n) break;
            if (line[j] == '>') {
                complete = true;
                break;
            }
            if (line[j] == '/' && j + 1 < n && line[j + 1] == '>') {
                complete = selfClosing = true;
                ++j;
                break;
            }
            if (!isNameStart(line[j])) {
                ++j;
                continue;
            }
            const std::size_t nameStart = j;
            while (j < n && isNameChar(line[j])) ++j;
            Attribute attribute;
            attribute.name = line.substr(nameStart, j - nameStart);
            while (j < n && isBlank(line[j])) ++j;
            if (j >= n || line[j] != '=') continue;
            ++j;
            while (j < n && isBlank(line[j])) ++j;
            if (j >= n) break;
            if (line[j] != '"' && line[j] != '\'') continue;
            const std::size_t closeQuote = line.find(line[j], j + 1);
            if (closeQuote == std::string_view::npos) {
                j = n;
                break;
            }
            attribute.begin = j + 1;
            attribute.end = closeQuote;
            attributes.push_back(attribute);
            j = closeQuote + 1;
        }
        const std::size_t textStart = complete ? j + 1 : n;

        if (element == "include") {
            bool definesOrNames = false;
            for (const Attribute& a : attributes) {
                if (a.name == "content") {
                    addReference(line, a.begin, a.end, ReferenceKind::Include, out);
                    definesOrNames = true;
                } else if (a.name == "file") {
                    addReference(line, a.begin, a.end, ReferenceKind::IncludeFile, out);
                    definesOrNames = true;
                } else if (a.name == "name") {
                    definesOrNames = true;  // a definition, not a use
                }
            }
            if (complete && !selfClosing && !definesOrNames) {
                const std::size_t textEnd = std::min(line.find('<', textStart), n);
                addReference(line, textStart, textEnd, ReferenceKind::Include, out);
            }
        } else if (complete && !selfClosing && isImageElement(element)) {
            const std::size_t textEnd = std::min(line.find('<', textStart), n);
            addReference(line, textStart, textEnd, ReferenceKind::Texture, out);
        }
        i = textStart;
    }
    return state;
}

bool IsTexturePath(const std::wstring& name) {
    if (name.empty() || name.find(L'$') != std::wstring::npos || name.find(L"://") != std::wstring::npos) {
        return false;
    }
    if (name[0] == L'/' || name[0] == L'\\') {
        return false;
    }
    const bool driveLetter = name.size() >= 2 && name[1] == L':' &&
                             ((name[0] >= L'a' && name[0] <= L'z') || (name[0] >= L'A' && name[0] <= L'Z'));
    return !driveLetter;
}

std::wstring ReferenceKey(std::wstring_view name) {
    std::wstring key(name);
    for (wchar_t& c : key) {
        if (c == L'\\') {
            c = L'/';
        } else if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c + (L'a' - L'A'));
        } else if (static_cast<unsigned long>(c) > 0x7F) {
            c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
        }
    }
    return key;
}

}  // namespace skin
