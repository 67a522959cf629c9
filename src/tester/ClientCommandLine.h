// The command line that starts the HTTP client (GNU Wget) to ask the media
// center to open a window, and the Windows command-line rules it relies on.
// Portable: the Win32 side only hands the result to CreateProcessW.
#pragma once

#include <string>
#include <vector>

namespace tester {

// The client's own limits. The editor's thread waits for the client, so an
// unreachable media center must not hold it longer than this.
constexpr int kClientTimeoutSeconds = 10;
// The editor stops waiting (and ends the client) a little after the client's
// own time-out should have ended it.
constexpr unsigned kClientWaitMilliseconds = (kClientTimeoutSeconds + 5) * 1000;

struct ClientCommand {
    std::wstring program;           // full path of wget.exe
    std::wstring commandLine;       // what the client's argv is parsed from
    std::wstring currentDirectory;  // the folder as the user typed it
};

// Quotes one argument so that the Windows parsing rules give it back
// unchanged: blanks and quotes cannot split it or end it early. Arguments
// without blanks or quotes stay bare unless `always` asks for the quotes.
std::wstring quoteArgument(const std::wstring& argument, bool always = false);

// Percent-encodes what a URL query cannot carry as it is (everything but the
// unreserved characters), non-ASCII as UTF-8 bytes.
std::wstring percentEncode(const std::wstring& value);

// "http://IP/ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=ActivateWindow(ID)".
std::wstring activationUrl(const std::wstring& ip, const std::wstring& windowId);

// The client program path: the folder, one backslash unless it already ends
// with one, then wget.exe.
std::wstring clientProgramPath(const std::wstring& wgetPath);

// The whole command for one activation of the window that `window` (a
// lower-cased skin file name) defines.
ClientCommand buildActivationCommand(const std::wstring& ip, const std::wstring& login, const std::wstring& password,
                                     const std::wstring& wgetPath, const std::wstring& window,
                                     int timeoutSeconds = kClientTimeoutSeconds);

// Splits a command line into argv as a Windows program sees it
// (CommandLineToArgvW's rules: the program name is taken up to its closing
// quote or the first blank; the arguments honour backslash-quote escapes).
std::vector<std::wstring> splitCommandLine(const std::wstring& commandLine);

}  // namespace tester
