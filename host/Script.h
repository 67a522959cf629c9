// Inside of the script language (host/README.md): the words of a line, window
// selectors, and the tables of commands and expectations.
#pragma once

#include "HostImpl.h"
#include "Input.h"

#include <cstddef>
#include <string>
#include <vector>

namespace host {

// ---------------------------------------------------------------------------
// Words (ScriptParsing.cpp)

struct Token {
    std::wstring key;    // for key=value tokens
    std::wstring value;  // the word, the quoted string, or the value
    bool quoted = false;
    bool hasKey = false;
};

// A line that cannot be run as written; its text is the failure the log shows.
struct ParseError {
    std::wstring what;
};

std::vector<Token> tokenize(const std::wstring& line);
std::wstring quote(const std::wstring& s);
bool parseInt(const std::wstring& s, long long& out);
long long needInt(const std::wstring& s, const wchar_t* what);
std::vector<KeyStroke> parseKeys(const std::wstring& keys);
// Relative paths start at `base`; a Linux path (/...) lives on Z:.
std::wstring windowsPath(const std::wstring& path, const std::wstring& base);

// One step of a selector: conditions that must all hold.
struct Step {
    bool hasId = false;
    long long id = 0;
    std::wstring cls, text, panel, window;
    bool hasClass = false, hasText = false, hasPanel = false, hasWindow = false, visibleOnly = false,
         mainWindow = false;
    bool hasIndex = false;
    long long index = 0;
    int view = -1;  // view=main|second
    std::wstring source;
};

// Reads a selector from tokens[pos...]; pos moves past it.
std::vector<Step> parseSelector(const std::vector<Token>& tokens, std::size_t& pos);
std::wstring selectorText(const std::vector<Step>& steps);

// The words after a command's name, read left to right. Anything missing or
// malformed throws ParseError.
class Arguments {
public:
    Arguments(Host::Impl& host, const std::wstring& line, std::vector<Token> tokens);
    const std::wstring& line() const { return line_; }
    bool more() const { return pos_ < tokens_.size(); }
    std::wstring next(const wchar_t* what);  // a word ("key=value" as written)
    const Token& nextToken(const wchar_t* what);
    long long number(const wchar_t* what);
    std::wstring path(const wchar_t* what);  // relative to the script's folder
    std::vector<Step> selector();
    HWND window();        // the one window a selector names
    void finish() const;  // nothing may follow

private:
    Host::Impl& host_;
    std::wstring line_;
    std::vector<Token> tokens_;
    std::size_t pos_ = 1;  // after the command's name
};

// ---------------------------------------------------------------------------
// Commands (ScriptCommands.cpp) and expectations (ScriptExpectations.cpp)

inline CommandResult ok(const std::wstring& message = L"") { return CommandResult{true, message}; }
inline CommandResult failure(const std::wstring& message) { return CommandResult{false, message}; }

// `name` is the word the line used (several words may share a function).
using CommandFn = CommandResult (*)(Host::Impl& host, Arguments& args, const std::wstring& name);

struct ScriptCommand {
    const wchar_t* name;
    CommandFn run;
};

// A dialog button by name (OK, Cancel, Yes, ...) or number; -1 for none
// (Dialogs.cpp).
int buttonId(const std::wstring& name);

// Null when there is no such command / expectation.
const ScriptCommand* scriptCommand(const std::wstring& name);
const ScriptCommand* expectation(const std::wstring& name);

}  // namespace host
