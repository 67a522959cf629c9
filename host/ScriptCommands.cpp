// The commands of the script language, one function each, and their table.
// Expectations (`expect ...`) have a table of their own.
#include "Script.h"
#include "WindowQueries.h"

#include "base/TextCodec.h"

namespace host {
namespace {

const wchar_t* const kContainers[] = {L"left", L"right", L"top", L"bottom", L"floating"};

// ---------------------------------------------------------------------------
// Documents and views

CommandResult open(Host::Impl& host, Arguments& args, const std::wstring&) {
    std::wstring p = args.path(L"file path");
    args.finish();
    std::wstring error;
    if (!host.open(p, &error)) return failure(error);
    return ok(L"opened " + host.current()->path + L" as " + encodingName(host.current()->encoding));
}

CommandResult activate(Host::Impl& host, Arguments& args, const std::wstring&) {
    std::wstring p = args.path(L"file path");
    args.finish();
    return host.owner->activateDocument(p) ? ok() : failure(L"no open document " + quote(p));
}

CommandResult view(Host::Impl& host, Arguments& args, const std::wstring&) {
    std::wstring which = args.next(L"main or second");
    args.finish();
    if (which == L"main" || which == L"0")
        host.owner->setCurrentView(0);
    else if (which == L"second" || which == L"1")
        host.owner->setCurrentView(1);
    else
        return failure(L"view is main or second");
    return ok();
}

CommandResult caret(Host::Impl& host, Arguments& args, const std::wstring&) {
    long long line = args.number(L"line");
    long long column = args.more() ? args.number(L"column") : 1;
    args.finish();
    if (!host.owner->setCaret(static_cast<int>(line - 1), static_cast<int>(column - 1)))
        return failure(L"no line " + std::to_wstring(line) + L" column " + std::to_wstring(column));
    return ok();
}

CommandResult encoding(Host::Impl& host, Arguments& args, const std::wstring&) {
    std::wstring name = args.next(L"encoding");
    args.finish();
    static const wchar_t* const names[] = {L"ansi", L"utf8", L"utf8bom", L"ucs2be", L"ucs2le"};
    for (UINT i = 0; i < 5; ++i) {
        if (name == names[i]) {
            SendMessageW(host.frame.main, WM_COMMAND, MAKEWPARAM(npp::IDM_FORMAT_CONV2_ANSI + i, 0), 0);
            return ok();
        }
    }
    return failure(L"encoding is ansi, utf8, utf8bom, ucs2be or ucs2le");
}

CommandResult save(Host::Impl& host, Arguments& args, const std::wstring&) {
    if (host.current() == nullptr) return failure(L"no document");
    // Without a path: the editor's own Save, with its notifications.
    if (!args.more()) {
        return host.owner->saveCurrent() ? ok() : failure(L"cannot save: " + formatWin32Error(GetLastError()));
    }
    std::wstring p = args.path(L"file path");
    args.finish();
    return host.owner->saveCurrentAs(p) ? ok()
                                        : failure(L"cannot write " + p + L": " + formatWin32Error(GetLastError()));
}

// ---------------------------------------------------------------------------
// Menus and commands

CommandResult menu(Host::Impl& host, Arguments& args, const std::wstring&) {
    std::wstring menuName = args.next(L"plugin menu"), item = args.next(L"menu item");
    args.finish();
    int id = host.findCommand(menuName, item);
    if (id < 0) return failure(L"no menu item " + quote(menuName) + L" > " + quote(item));
    SendMessageW(host.frame.main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return ok(L"command " + std::to_wstring(id));
}

CommandResult command(Host::Impl& host, Arguments& args, const std::wstring&) {
    long long id = args.number(L"command id");
    args.finish();
    SendMessageW(host.frame.main, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
    return ok();
}

// ---------------------------------------------------------------------------
// Windows and input

CommandResult clipboard(Host::Impl& host, Arguments& args, const std::wstring&) {
    std::wstring value = args.next(L"text");
    args.finish();
    if (!host.owner->setClipboardText(value)) return failure(L"cannot write the clipboard");
    HWND main = host.frame.main;
    if (IsWindowVisible(main) && GetForegroundWindow() != main)
        return failure(L"written, but the host could not come to the front");
    return ok();
}

CommandResult dump(Host::Impl& host, Arguments& args, const std::wstring&) {
    std::wstring p = args.path(L"file path");
    args.finish();
    if (!writeFileBytes(p, text::toUtf8(dumpPluginWindows(host)))) return failure(L"cannot write " + p);
    return ok();
}

CommandResult settext(Host::Impl&, Arguments& args, const std::wstring&) {
    HWND h = args.window();
    std::wstring value = args.next(L"text");
    args.finish();
    SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
    return ok();
}

// select SELECTOR "ITEM" / select-index SELECTOR N
CommandResult select(Host::Impl&, Arguments& args, const std::wstring& name) {
    bool byIndex = name == L"select-index";
    HWND h = args.window();
    std::wstring wanted = args.next(byIndex ? L"item index" : L"item text");
    args.finish();
    ListInfo info = listInfo(h);
    if (!info.isList) return failure(L"not a list, combo box, list view or tab control: " + describe(h));
    long long index = -1;
    if (byIndex) {
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
    chooseItem(h, static_cast<std::size_t>(index));
    return ok(L"selected " + std::to_wstring(index));
}

// click SELECTOR / dblclick SELECTOR
CommandResult click(Host::Impl&, Arguments& args, const std::wstring& name) {
    HWND h = args.window();
    args.finish();
    if (!IsWindowEnabled(h)) return failure(L"the window is disabled: " + describe(h));
    bool twice = name == L"dblclick";
    if (!twice && sameClass(h, L"Button")) {
        SendMessageW(h, BM_CLICK, 0, 0);
        return ok();
    }
    clickAt(h, twice);
    return ok();
}

CommandResult keys(Host::Impl& host, Arguments& args, const std::wstring&) {
    HWND h = args.window();
    std::vector<KeyStroke> strokes = parseKeys(args.next(L"keys"));
    args.finish();
    typeKeys(host, h, strokes);
    return ok();
}

CommandResult screenshotCommand(Host::Impl&, Arguments& args, const std::wstring&) {
    HWND h = args.window();
    std::wstring p = args.path(L"file path");
    args.finish();
    std::wstring error;
    if (!screenshot(h, p, error)) return failure(error);
    return ok(L"wrote " + p);
}

// ---------------------------------------------------------------------------
// Dialogs

CommandResult answer(Host::Impl& host, Arguments& args, const std::wstring&) {
    std::wstring kind = args.next(L"message, file or folder");
    Answer a;
    a.source = args.line();
    if (kind == L"message") {
        a.kind = AnswerKind::Message;
        a.value = args.next(L"button");
        if (buttonId(a.value) < 0) return failure(L"unknown button " + quote(a.value));
        while (args.more()) {
            const Token& t = args.nextToken(L"caption or text");
            if (t.hasKey && t.key == L"caption")
                a.hasCaption = true, a.expectCaption = t.value;
            else if (t.hasKey && t.key == L"text")
                a.hasText = true, a.expectText = t.value;
            else
                throw ParseError{L"unexpected argument " + quote(t.value)};
        }
    } else if (kind == L"file" || kind == L"folder") {
        a.kind = kind == L"file" ? AnswerKind::File : AnswerKind::Folder;
        a.value = args.path(L"path");
        args.finish();
    } else {
        return failure(L"answer message|file|folder");
    }
    host.script.answers.push_back(a);
    return ok(std::to_wstring(host.script.answers.size()) + L" answer(s) queued");
}

// ---------------------------------------------------------------------------
// Docking and plugins

CommandResult dock(Host::Impl& host, Arguments& args, const std::wstring&) {
    HWND h = args.window();
    std::wstring where = args.next(L"left, right, top, bottom or floating");
    args.finish();
    for (int i = 0; i < 5; ++i)
        if (where == kContainers[i])
            return host.owner->dockPanel(h, static_cast<Container>(i)) ? ok() : failure(L"not a docked panel");
    return failure(L"dock takes left, right, top, bottom or floating");
}

CommandResult closePanel(Host::Impl& host, Arguments& args, const std::wstring&) {
    HWND h = args.window();
    args.finish();
    return host.owner->closePanel(h) ? ok() : failure(L"not a docked panel");
}

// unload NAME / reload NAME
CommandResult loading(Host::Impl& host, Arguments& args, const std::wstring& name) {
    std::wstring plugin = args.next(L"plugin folder name");
    args.finish();
    bool done = name == L"unload" ? host.owner->unloadPlugin(plugin) : host.owner->reloadPlugin(plugin);
    return done ? ok() : failure(L"cannot " + name + L" " + quote(plugin));
}

// ---------------------------------------------------------------------------
// The editor's modes

CommandResult darkmode(Host::Impl& host, Arguments& args, const std::wstring&) {
    std::wstring mode = args.next(L"on or off");
    args.finish();
    if (mode != L"on" && mode != L"off") return failure(L"darkmode is on or off");
    host.setDarkMode(mode == L"on");
    return ok();
}

CommandResult indicators(Host::Impl& host, Arguments& args, const std::wstring&) {
    std::wstring mode = args.next(L"allow or refuse");
    args.finish();
    if (mode != L"allow" && mode != L"refuse") return failure(L"indicators takes allow or refuse");
    host.indicators.refuse = mode == L"refuse";
    return ok();
}

// ---------------------------------------------------------------------------
// The script itself

CommandResult wait(Host::Impl& host, Arguments& args, const std::wstring&) {
    long long ms = args.number(L"milliseconds");
    args.finish();
    if (ms < 0 || ms > 600000) return failure(L"wait takes 0 to 600000 ms");
    host.pump(static_cast<int>(ms));
    return ok();
}

CommandResult log(Host::Impl&, Arguments& args, const std::wstring&) {
    std::wstring note = args.next(L"text");
    args.finish();
    return ok(note);
}

CommandResult quit(Host::Impl& host, Arguments& args, const std::wstring&) {
    args.finish();
    host.script.quitRequested = true;
    return ok();
}

CommandResult expect(Host::Impl& host, Arguments& args, const std::wstring&) {
    std::wstring what = args.next(L"what to expect");
    const ScriptCommand* check = expectation(what);
    if (check == nullptr) return failure(L"unknown expectation " + quote(what));
    return check->run(host, args, what);
}

const ScriptCommand kCommands[] = {
    {L"open", open},
    {L"activate", activate},
    {L"view", view},
    {L"caret", caret},
    {L"menu", menu},
    {L"command", command},
    {L"encoding", encoding},
    {L"clipboard", clipboard},
    {L"save", save},
    {L"dump", dump},
    {L"settext", settext},
    {L"select", select},
    {L"select-index", select},
    {L"click", click},
    {L"dblclick", click},
    {L"keys", keys},
    {L"answer", answer},
    {L"screenshot", screenshotCommand},
    {L"wait", wait},
    {L"dock", dock},
    {L"close-panel", closePanel},
    {L"unload", loading},
    {L"reload", loading},
    {L"darkmode", darkmode},
    {L"indicators", indicators},
    {L"log", log},
    {L"quit", quit},
    {L"expect", expect},
};

}  // namespace

const ScriptCommand* scriptCommand(const std::wstring& name) {
    for (const ScriptCommand& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

}  // namespace host
