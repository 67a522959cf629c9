// The command line that starts the HTTP client (GNU Wget) to ask the media
// center to open a window or reload the skin, the configuration file that
// carries the credentials, and the Windows command-line rules it relies on.
// Portable: the Win32 side only hands the result to CreateProcessW.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tester {

// The client's own limits. The editor's thread waits for the client, so an
// unreachable media center must not hold it longer than this.
constexpr int kClientTimeoutSeconds = 10;
// The editor stops waiting (and ends the client) a little after the client's
// own time-out should have ended it.
constexpr unsigned kClientWaitMilliseconds = (kClientTimeoutSeconds + 5) * 1000;

// What the client needs of the settings: the media center's address (host,
// maybe a colon and a port), the credentials and the client's folder.
struct ClientSettings {
    std::wstring ip;
    std::wstring login;
    std::wstring password;
    std::wstring wgetPath;
};

// What one request asks the media center to do.
struct MediaCenterAction {
    enum Kind { ReloadSkin, OpenWindow };
    Kind kind = OpenWindow;
    std::wstring windowId;  // the window to open

    static MediaCenterAction reloadSkin() { return {ReloadSkin, {}}; }
    static MediaCenterAction openWindow(std::wstring id) { return {OpenWindow, std::move(id)}; }
};

struct ClientCommand {
    std::wstring program;           // full path of wget.exe
    std::wstring arguments;         // what follows the configuration file's option
    std::wstring currentDirectory;  // the folder as the user typed it
    // The client's configuration file for this one run, which carries the
    // credentials (no other process may read them off the command line);
    // none when they cannot be put into one.
    std::optional<std::string> configuration;
};

// Quotes one argument so that the Windows parsing rules give it back
// unchanged: blanks and quotes cannot split it or end it early. Arguments
// without blanks or quotes stay bare unless `always` asks for the quotes.
std::wstring quoteArgument(const std::wstring& argument, bool always = false);

// Percent-encodes what a URL query cannot carry as it is (everything but the
// unreserved characters), non-ASCII as UTF-8 bytes.
std::wstring percentEncode(const std::wstring& value);

// "http://IP/ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=ActivateWindow(ID)"
// or "...&parameter=ReloadSkin()".
std::wstring commandUrl(const std::wstring& ip, const MediaCenterAction& action);

// The client program path: the folder, one backslash unless it already ends
// with one, then wget.exe.
std::wstring clientProgramPath(const std::wstring& wgetPath);

// GNU Wget's configuration file ("wgetrc") holding the credentials. That
// format has no quoting: a value runs from the first non-blank after '=' to
// the line's last non-blank, byte for byte (UTF-8 here). So quotes,
// backslashes, '#' and inner blanks pass as they are, while blanks at either
// end and line breaks cannot be carried: then there is none.
std::optional<std::string> clientConfiguration(const std::wstring& login, const std::wstring& password);

// The whole command for one request.
ClientCommand buildClientCommand(const ClientSettings& settings, const MediaCenterAction& action,
                                 int timeoutSeconds = kClientTimeoutSeconds);

// The command line once the configuration file has its name.
std::wstring clientCommandLine(const ClientCommand& command, const std::wstring& configurationPath);

// The client's environment: the caller's (`NAME=value` entries) with the C
// locale forced, so that it reports in the English the outcome is read from
// whatever the user's language.
std::vector<std::wstring> clientEnvironment(const std::vector<std::wstring>& current);

// Splits a command line into argv as a Windows program sees it
// (CommandLineToArgvW's rules: the program name is taken up to its closing
// quote or the first blank; the arguments honour backslash-quote escapes).
std::vector<std::wstring> splitCommandLine(const std::wstring& commandLine);

}  // namespace tester
