#include "skin/StringsFileScan.h"

#include "base/TextCodec.h"
#include "skin/MediaPaths.h"
#include "skin/SkinScanText.h"

#include <algorithm>

namespace skin {

using scan::isDigit;
using scan::Span;
using scan::trimmed;

namespace {

// A gettext string: the text between its quotes with the C escapes read.
bool quoted(std::string_view line, std::string& out) {
    const std::size_t open = line.find('"');
    const std::size_t close = line.rfind('"');
    if (open == std::string_view::npos || close == open) return false;
    for (std::size_t k = open + 1; k < close; ++k) {
        char c = line[k];
        if (c == '\\' && k + 1 < close) {
            c = line[++k];
            if (c == 'n') c = '\n';
            if (c == 't') c = '\t';
        }
        out.push_back(c);
    }
    return true;
}

std::string validUtf8(std::string_view s) {
    // Bytes that are not UTF-8 (an 8-bit strings file) are read one to one.
    return text::toUtf8(preview::DecodeSkinText(std::string(s)));
}

}  // namespace

void scanStringsFile(SkinFile& f) {
    const std::string_view t = f.text;
    struct Entry {
        std::size_t at = 0;  // the msgctxt line's start
        Span ctx;
        std::string id;
        std::string str;
        std::string* last = nullptr;
        bool open = false;
    } e;
    std::string ctx;
    std::size_t broken = 0;
    std::size_t firstBroken = 0;
    auto flush = [&] {
        if (!e.open) return;
        e.open = false;
        if (ctx.size() < 2 || ctx[0] != '#' || !std::all_of(ctx.begin() + 1, ctx.end(), isDigit)) return;
        Definition d;
        d.kind = SymbolKind::String;
        d.name = ctx.substr(1);
        d.group = f.role == FileRole::CoreStrings ? "core" : "skin";
        Location at;
        at.path = f.path;
        const auto it = std::upper_bound(f.lineStarts.begin(), f.lineStarts.end(), e.at);
        at.line = static_cast<std::uint32_t>(it - f.lineStarts.begin());
        d.at = at;
        d.nameAt = at;
        d.nameAt.column = static_cast<std::uint32_t>(e.ctx.begin - e.at);
        d.nameAt.length = static_cast<std::uint32_t>(e.ctx.end - e.ctx.begin);
        d.value = validUtf8(e.str.empty() ? e.id : e.str);
        f.definitions.push_back(std::move(d));
    };
    for (std::size_t line = 0; line < f.lineStarts.size(); ++line) {
        const std::size_t b = f.lineStarts[line];
        std::size_t end = line + 1 < f.lineStarts.size() ? f.lineStarts[line + 1] : t.size();
        while (end > b && (t[end - 1] == '\n' || t[end - 1] == '\r')) --end;
        const Span s = trimmed(t, {b, end});
        const std::string_view l = t.substr(s.begin, s.end - s.begin);
        bool ok = true;
        if (l.empty() || l[0] == '#') {
            // blank or comment
        } else if (l.compare(0, 8, "msgctxt ") == 0) {
            flush();
            e = Entry{};
            e.open = true;
            e.at = b;
            ctx.clear();
            ok = quoted(l, ctx);
            const std::size_t q = l.find('"');
            e.ctx = {s.begin + q + 1, s.begin + (ok ? l.rfind('"') : q + 1)};
            e.last = nullptr;
        } else if (l.compare(0, 6, "msgid ") == 0) {
            if (!e.open) {
                e = Entry{};
                ctx.clear();
            }
            e.id.clear();
            ok = quoted(l, e.id);
            e.last = &e.id;
        } else if (l.compare(0, 7, "msgstr ") == 0) {
            e.str.clear();
            ok = quoted(l, e.str);
            e.last = &e.str;
        } else if (l[0] == '"' && e.last) {
            ok = quoted(l, *e.last);
        } else {
            ok = false;
        }
        if (!ok && broken++ == 0) firstBroken = line + 1;
    }
    flush();
    if (broken > 0) {
        f.problem = std::to_string(broken) + (broken == 1 ? " line" : " lines") + " not understood, the first line " +
                    std::to_string(firstBroken);
    }
}

void utf16ToUtf8(std::string& bytes) {
    if (bytes.size() < 2) return;
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    const bool le = b0 == 0xFF && b1 == 0xFE;
    const bool be = b0 == 0xFE && b1 == 0xFF;
    if (!le && !be) return;
    std::wstring wide;
    for (std::size_t k = 2; k + 1 < bytes.size(); k += 2) {
        const auto lo = static_cast<unsigned char>(bytes[le ? k : k + 1]);
        const auto hi = static_cast<unsigned char>(bytes[le ? k + 1 : k]);
        wide.push_back(static_cast<wchar_t>(lo | (hi << 8)));
    }
    if (sizeof(wchar_t) == 4) {
        // Pair the surrogates natively; Windows keeps them as they are.
        std::wstring paired;
        for (std::size_t k = 0; k < wide.size(); ++k) {
            const auto c = static_cast<unsigned long>(wide[k]);
            if (c >= 0xD800 && c < 0xDC00 && k + 1 < wide.size()) {
                const auto d = static_cast<unsigned long>(wide[k + 1]);
                if (d >= 0xDC00 && d < 0xE000) {
                    paired.push_back(static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00)));
                    ++k;
                    continue;
                }
            }
            paired.push_back(wide[k]);
        }
        wide.swap(paired);
    }
    bytes = text::toUtf8(wide);
}

}  // namespace skin
