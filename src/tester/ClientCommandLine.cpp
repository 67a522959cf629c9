#include "tester/ClientCommandLine.h"

#include "base/TextCodec.h"
#include "tester/WindowTable.h"

namespace tester {
namespace {

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool needsQuotes(const std::wstring& argument) {
    if (argument.empty()) {
        return true;
    }
    for (wchar_t c : argument) {
        if (c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'"') {
            return true;
        }
    }
    return false;
}

// GNU Wget trims these (C's isspace) from both ends of a configuration value.
bool isConfigurationSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// A value that a configuration line gives back unchanged.
bool fitsConfigurationLine(const std::wstring& value) {
    if (!value.empty() && (isConfigurationSpace(value.front()) || isConfigurationSpace(value.back()))) return false;
    // A line ends at a line feed; a NUL would end the text early.
    return value.find_first_of(std::wstring(L"\n\r\0", 3)) == std::wstring::npos;
}

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

}  // namespace

std::wstring quoteArgument(const std::wstring& argument, bool always) {
    if (!always && !needsQuotes(argument)) {
        return argument;
    }
    std::wstring quoted(1, L'"');
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            // Backslashes before a quote are halved by the parser, and the
            // quote itself must be escaped.
            quoted.append(backslashes * 2 + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        backslashes = 0;
        quoted.push_back(c);
    }
    // Backslashes before the closing quote would escape it.
    quoted.append(backslashes * 2, L'\\');
    quoted.push_back(L'"');
    return quoted;
}

std::wstring percentEncode(const std::wstring& value) {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    const std::string bytes = text::toUtf8(value);
    std::wstring encoded;
    encoded.reserve(bytes.size());
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (isUnreserved(c)) {
            encoded.push_back(static_cast<wchar_t>(c));
        } else {
            encoded.push_back(L'%');
            encoded.push_back(kHex[c >> 4]);
            encoded.push_back(kHex[c & 0x0F]);
        }
    }
    return encoded;
}

std::wstring commandUrl(const std::wstring& ip, const MediaCenterAction& action) {
    const std::wstring parameter = action.kind == MediaCenterAction::ReloadSkin
                                       ? std::wstring(L"ReloadSkin()")
                                       : L"ActivateWindow(" + percentEncode(action.windowId) + L")";
    return L"http://" + ip + L"/ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=" + parameter;
}

std::wstring clientProgramPath(const std::wstring& wgetPath) {
    std::wstring program = wgetPath;
    if (program.empty() || program.back() != L'\\') {
        program.push_back(L'\\');
    }
    program += L"wget.exe";
    return program;
}

std::optional<std::string> clientConfiguration(const std::wstring& login, const std::wstring& password) {
    std::string text;
    const struct {
        const char* name;
        const std::wstring& value;
    } lines[] = {{"http_user", login}, {"http_password", password}};
    for (const auto& line : lines) {
        if (!fitsConfigurationLine(line.value)) return std::nullopt;
        text += std::string(line.name) + " = " + text::toUtf8(line.value) + "\n";
    }
    return text;
}

ClientCommand buildClientCommand(const ClientSettings& settings, const MediaCenterAction& action, int timeoutSeconds) {
    ClientCommand command;
    command.program = clientProgramPath(settings.wgetPath);
    command.currentDirectory = settings.wgetPath;
    command.configuration = clientConfiguration(settings.login, settings.password);

    const std::wstring arguments[] = {
        L"--timeout=" + std::to_wstring(timeoutSeconds),
        L"--tries=1",
        // The reply and the client's messages both go to its standard
        // output, which is read through a pipe: no file is saved in the
        // client's folder, and the messages tell how the request went even
        // where the system reports no exit status (and passes a program
        // started under Wine no error stream of ours).
        L"--output-document=-",
        L"--output-file=-",
    };
    for (const std::wstring& argument : arguments) {
        command.arguments.push_back(L' ');
        command.arguments += quoteArgument(argument);
    }
    // The URL is quoted in any case: its query holds '&'.
    command.arguments.push_back(L' ');
    command.arguments += quoteArgument(commandUrl(settings.ip, action), true);
    return command;
}

std::wstring clientCommandLine(const ClientCommand& command, const std::wstring& configurationPath) {
    // A Windows path cannot hold a quote, so plain quotes delimit the program.
    return L"\"" + command.program + L"\" " + quoteArgument(L"--config=" + configurationPath) + command.arguments;
}

std::vector<std::wstring> clientEnvironment(const std::vector<std::wstring>& current) {
    static const wchar_t* const kForced[] = {L"LC_ALL=C", L"LANG=C"};
    std::vector<std::wstring> environment;
    for (const std::wstring& entry : current) {
        bool replaced = false;
        for (const wchar_t* forced : kForced) {
            const std::wstring name = std::wstring(forced).substr(0, std::wstring(forced).find(L'=') + 1);
            // Names are matched without regard to case, as Windows does.
            replaced = replaced || asciiLower(entry.substr(0, name.size())) == asciiLower(name);
        }
        if (!replaced) environment.push_back(entry);
    }
    for (const wchar_t* forced : kForced) environment.push_back(forced);
    return environment;
}

std::vector<std::wstring> splitCommandLine(const std::wstring& commandLine) {
    std::vector<std::wstring> argv;
    std::size_t i = 0;
    const std::size_t n = commandLine.size();

    // The program name: no escapes, quotes only delimit it.
    std::wstring program;
    if (i < n && commandLine[i] == L'"') {
        ++i;
        while (i < n && commandLine[i] != L'"') {
            program.push_back(commandLine[i++]);
        }
        if (i < n) {
            ++i;
        }
    } else {
        while (i < n && !isBlank(commandLine[i])) {
            program.push_back(commandLine[i++]);
        }
    }
    argv.push_back(program);

    while (i < n && isBlank(commandLine[i])) {
        ++i;
    }
    if (i >= n) {
        return argv;
    }

    std::wstring current;
    bool inArgument = false;
    int quoteCount = 0;  // odd while inside quotes, as the system counts them
    std::size_t backslashes = 0;
    while (i < n) {
        const wchar_t c = commandLine[i];
        if (isBlank(c) && quoteCount == 0) {
            current.append(backslashes, L'\\');
            backslashes = 0;
            if (inArgument) {
                argv.push_back(current);
                current.clear();
                inArgument = false;
            }
            ++i;
            continue;
        }
        inArgument = true;
        if (c == L'\\') {
            ++backslashes;
            ++i;
            continue;
        }
        if (c == L'"') {
            current.append(backslashes / 2, L'\\');
            if (backslashes % 2 == 0) {
                ++quoteCount;
            } else {
                current.push_back(L'"');
            }
            backslashes = 0;
            ++i;
            // Runs of quotes: every third one is a literal quote.
            while (i < n && commandLine[i] == L'"') {
                if (++quoteCount == 3) {
                    current.push_back(L'"');
                    quoteCount = 0;
                }
                ++i;
            }
            if (quoteCount == 2) {
                quoteCount = 0;
            }
            continue;
        }
        current.append(backslashes, L'\\');
        backslashes = 0;
        current.push_back(c);
        ++i;
    }
    current.append(backslashes, L'\\');
    if (inArgument) {
        argv.push_back(current);
    }
    return argv;
}

}  // namespace tester
