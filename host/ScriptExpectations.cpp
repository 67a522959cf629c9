// The expectations of the script language (`expect WHAT ...`), one function
// each, and their table. A failed one says what it found instead.
#include "Script.h"
#include "WindowQueries.h"

#include "base/TextCodec.h"

namespace host {
namespace {

CommandResult verdict(const std::wstring& what, bool good, const std::wstring& actual) {
    return good ? ok() : failure(L"expected " + what + L", found " + actual);
}

// checked / unchecked "MENU" "ITEM"
CommandResult menuCheck(Host::Impl& host, Arguments& args, const std::wstring& what) {
    std::wstring menu = args.next(L"plugin menu"), item = args.next(L"menu item");
    args.finish();
    int id = host.findCommand(menu, item);
    if (id < 0) return failure(L"no menu item " + quote(menu) + L" > " + quote(item));
    bool checked = host.owner->isCheckedId(id);
    return verdict(what, checked == (what == L"checked"), checked ? L"checked" : L"unchecked");
}

// text / contains SELECTOR "TEXT"
CommandResult text(Host::Impl&, Arguments& args, const std::wstring& what) {
    HWND h = args.window();
    std::wstring wanted = args.next(L"text");
    args.finish();
    std::wstring actual = windowText(h);
    bool good = what == L"text" ? actual == wanted : actual.find(wanted) != std::wstring::npos;
    return verdict(what, good, quote(actual));
}

// visible / hidden / enabled / disabled SELECTOR
CommandResult state(Host::Impl&, Arguments& args, const std::wstring& what) {
    HWND h = args.window();
    args.finish();
    bool flag = (what == L"visible" || what == L"hidden") ? IsWindowVisible(h) != FALSE : IsWindowEnabled(h) != FALSE;
    bool want = what == L"visible" || what == L"enabled";
    return verdict(what, flag == want, describe(h));
}

// exists / missing SELECTOR
CommandResult existence(Host::Impl& host, Arguments& args, const std::wstring& what) {
    std::vector<Step> steps = args.selector();
    args.finish();
    std::wstring error;
    HWND h = findWindow(host, steps, error);
    if (what == L"exists") return h != nullptr ? ok() : failure(error);
    return h == nullptr ? ok() : failure(L"expected no window, found " + describe(h));
}

// items SELECTOR N / item SELECTOR N "TEXT" / selection SELECTOR "TEXT"
CommandResult list(Host::Impl&, Arguments& args, const std::wstring& what) {
    HWND h = args.window();
    ListInfo info = listInfo(h);
    if (!info.isList) return failure(L"not a list: " + describe(h));
    if (what == L"items") {
        long long n = args.number(L"count");
        args.finish();
        return verdict(what, static_cast<long long>(info.items.size()) == n, std::to_wstring(info.items.size()));
    }
    if (what == L"item") {
        long long i = args.number(L"index");
        std::wstring wanted = args.next(L"text");
        args.finish();
        if (i < 0 || i >= static_cast<long long>(info.items.size())) return failure(L"no item " + std::to_wstring(i));
        const std::wstring& actual = info.items[static_cast<std::size_t>(i)];
        return verdict(what, actual == wanted, quote(actual));
    }
    std::wstring wanted = args.next(L"text");
    args.finish();
    std::wstring actual = info.selection >= 0 && info.selection < static_cast<int>(info.items.size())
                              ? info.items[static_cast<std::size_t>(info.selection)]
                              : std::wstring(L"<none>");
    return verdict(what, info.selection >= 0 && actual == wanted, quote(actual));
}

// line N "TEXT"
CommandResult line(Host::Impl& host, Arguments& args, const std::wstring& what) {
    long long n = args.number(L"line");
    std::wstring wanted = args.next(L"text");
    args.finish();
    int v = host.frame.currentView;
    if (n < 1 || n > host.send(v, npp::SCI_GETLINECOUNT)) return failure(L"no line " + std::to_wstring(n));
    auto start = host.send(v, npp::SCI_POSITIONFROMLINE, static_cast<WPARAM>(n - 1));
    auto end = host.send(v, npp::SCI_GETLINEENDPOSITION, static_cast<WPARAM>(n - 1));
    std::string bytes(static_cast<std::size_t>(end - start) + 1, '\0');
    // The full range record: the classic one's positions are `long` in some
    // Scintilla builds, which on x64 is not the width of a pointer.
    npp::Sci_TextRangeFull range{start, end, bytes.data()};
    host.send(v, npp::SCI_GETTEXTRANGEFULL, 0, reinterpret_cast<LPARAM>(&range));
    bytes.resize(static_cast<std::size_t>(end - start));
    unsigned cp = static_cast<unsigned>(host.send(v, npp::SCI_GETCODEPAGE));
    std::wstring actual = text::fromCodePage(bytes, cp == 65001 ? text::kCodePageUtf8 : text::kCodePageAnsi);
    return verdict(what, actual == wanted, quote(actual));
}

// caret LINE [COLUMN]
CommandResult caret(Host::Impl& host, Arguments& args, const std::wstring& what) {
    long long lineNumber = args.number(L"line");
    long long column = args.more() ? args.number(L"column") : -1;
    args.finish();
    int v = host.frame.currentView;
    auto p = host.send(v, npp::SCI_GETCURRENTPOS);
    auto l = host.send(v, npp::SCI_LINEFROMPOSITION, static_cast<WPARAM>(p));
    auto c = host.send(v, sci::GetColumn, static_cast<WPARAM>(p));
    bool good = l + 1 == lineNumber && (column < 0 || c + 1 == column);
    return verdict(what, good, L"line " + std::to_wstring(l + 1) + L" column " + std::to_wstring(c + 1));
}

CommandResult codepage(Host::Impl& host, Arguments& args, const std::wstring& what) {
    long long cp = args.number(L"code page");
    args.finish();
    auto actual = host.send(host.frame.currentView, npp::SCI_GETCODEPAGE);
    return verdict(what, actual == cp, std::to_wstring(actual));
}

CommandResult eol(Host::Impl& host, Arguments& args, const std::wstring& what) {
    std::wstring name = args.next(L"crlf, cr or lf");
    args.finish();
    auto mode = host.send(host.frame.currentView, npp::SCI_GETEOLMODE);
    const wchar_t* actual = mode == 0 ? L"crlf" : mode == 1 ? L"cr" : L"lf";
    return verdict(what, name == actual, actual);
}

CommandResult encoding(Host::Impl& host, Arguments& args, const std::wstring& what) {
    std::wstring name = args.next(L"encoding");
    args.finish();
    std::wstring actual = host.current() != nullptr ? encodingName(host.current()->encoding) : L"<no document>";
    return verdict(what, name == actual, actual);
}

CommandResult documentContains(Host::Impl& host, Arguments& args, const std::wstring& what) {
    std::wstring wanted = args.next(L"text");
    args.finish();
    std::string bytes = host.currentBytes();
    bool unicode = host.current() == nullptr || isUnicodeEncoding(host.current()->encoding);
    std::string needle = unicode ? text::toUtf8(wanted) : text::toCodePage(wanted, text::kCodePageAnsi);
    return verdict(what, bytes.find(needle) != std::string::npos, std::to_wstring(bytes.size()) + L" bytes without it");
}

CommandResult clipboard(Host::Impl& host, Arguments& args, const std::wstring& what) {
    std::wstring wanted = args.next(L"text");
    args.finish();
    std::wstring actual = host.owner->clipboardText();
    return verdict(what, actual == wanted, quote(actual));
}

// message-to MODULE [CODE [KEY]]
CommandResult messageTo(Host::Impl& host, Arguments& args, const std::wstring&) {
    std::wstring targetName = args.next(L"target module");
    long long code = args.more() ? args.number(L"code") : -1;
    bool hasKey = args.more();
    std::wstring key = hasKey ? args.next(L"key") : L"";
    args.finish();
    const auto& messages = host.records.messages;
    for (const auto& m : messages) {
        if (m.target == targetName && (code < 0 || m.internalMsg == code) && (!hasKey || m.key == key)) return ok();
    }
    return failure(L"no such plugin message among " + std::to_wstring(messages.size()));
}

// panel SELECTOR left|right|top|bottom|floating|hidden
CommandResult panel(Host::Impl& host, Arguments& args, const std::wstring& what) {
    HWND h = args.window();
    std::wstring where = args.next(L"left, right, top, bottom, floating or hidden");
    args.finish();
    static const wchar_t* const names[] = {L"left", L"right", L"top", L"bottom", L"floating"};
    Container c = host.owner->containerOf(h);
    std::wstring actual = c == Container::Hidden    ? L"hidden"
                          : c == Container::Unknown ? L"not a panel"
                                                    : names[static_cast<int>(c)];
    return verdict(what, actual == where, actual);
}

// themed SELECTOR [init|changed]: the window was handed to
// NPPM_DARKMODESUBCLASSANDTHEME (with those flags).
CommandResult themed(Host::Impl& host, Arguments& args, const std::wstring&) {
    HWND h = args.window();
    WPARAM flags = 0;
    if (args.more()) {
        std::wstring which = args.next(L"init or changed");
        if (which == L"init")
            flags = npp::DARKMODE_INIT;
        else if (which == L"changed")
            flags = npp::DARKMODE_CHANGED;
        else
            return failure(L"themed takes init or changed");
    }
    args.finish();
    std::size_t forWindow = 0;
    for (const ThemeRequest& r : host.records.themeRequests) {
        if (r.window != h) continue;
        ++forWindow;
        if (flags == 0 || r.flags == flags) return ok();
    }
    return failure(L"no such theming request; " + std::to_wstring(forWindow) + L" for that window");
}

CommandResult answered(Host::Impl& host, Arguments& args, const std::wstring& what) {
    args.finish();
    const auto& answers = host.script.answers;
    return verdict(what, answers.empty(), std::to_wstring(answers.size()) + L" unused answer(s)");
}

const ScriptCommand kExpectations[] = {
    {L"checked", menuCheck},
    {L"unchecked", menuCheck},
    {L"text", text},
    {L"contains", text},
    {L"visible", state},
    {L"hidden", state},
    {L"enabled", state},
    {L"disabled", state},
    {L"exists", existence},
    {L"missing", existence},
    {L"items", list},
    {L"item", list},
    {L"selection", list},
    {L"line", line},
    {L"caret", caret},
    {L"codepage", codepage},
    {L"eol", eol},
    {L"encoding", encoding},
    {L"document-contains", documentContains},
    {L"clipboard", clipboard},
    {L"message-to", messageTo},
    {L"panel", panel},
    {L"themed", themed},
    {L"answered", answered},
};

}  // namespace

const ScriptCommand* expectation(const std::wstring& name) {
    for (const ScriptCommand& c : kExpectations)
        if (name == c.name) return &c;
    return nullptr;
}

}  // namespace host
