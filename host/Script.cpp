// Running the script language (documented in host/README.md): one command per
// line, each looked up in the table of commands, every result in the log.
#include "Script.h"

#include "base/TextCodec.h"

#include <new>
#include <sstream>

namespace host {

void Host::Impl::writeLog(const std::wstring& line) {
    script.log.push_back(line);
    if (script.logFile) {
        std::string bytes = text::toUtf8(line) + "\r\n";
        DWORD written = 0;
        WriteFile(script.logFile.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
}

CommandResult Host::Impl::execute(const std::wstring& line) {
    std::vector<Token> tokens = tokenize(line);
    if (tokens.empty()) return ok();
    if (frame.shutDown) return failure(L"the host has shut down");
    const std::wstring name = tokens[0].value;
    const ScriptCommand* command = scriptCommand(name);
    if (command == nullptr) return failure(L"unknown command " + quote(name));
    Arguments args(*this, line, std::move(tokens));
    return command->run(*this, args, name);
}

CommandResult Host::Impl::runLine(const std::wstring& line) {
    std::size_t failuresBefore = script.asyncFailures.size();
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
    if (!frame.shutDown) pump(30);
    // A dialog answered wrongly while the command ran fails the command.
    if (result.ok && script.asyncFailures.size() > failuresBefore) {
        result.ok = false;
        result.message = script.asyncFailures.back();
    }
    return result;
}

// ---------------------------------------------------------------------------

CommandResult Host::runLine(const std::wstring& line) { return impl_->runLine(line); }

const std::vector<std::wstring>& Host::log() const { return impl_->script.log; }

bool Host::runScript(const std::wstring& scriptPath, const std::wstring& logPath) {
    Impl& impl = *impl_;
    ScriptState& script = impl.script;
    if (!logPath.empty()) {
        script.logFile.reset(CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    std::string bytes;
    int failed = 0, count = 0;
    if (!readFileBytes(scriptPath, bytes)) {
        impl.writeLog(L"FAIL: cannot read the script " + scriptPath);
        failed = 1;
    } else {
        if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
        script.baseFolder = folderOf(fullPath(scriptPath));
        std::wstringstream lines(text::fromUtf8(bytes));
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
            if (script.quitRequested || impl.frame.shutDown) break;
        }
        if (!script.answers.empty()) {
            ++failed;
            impl.writeLog(L"FAIL: " + std::to_wstring(script.answers.size()) +
                          L" queued dialog answer(s) never used, first from: " + script.answers.front().source);
        }
    }
    impl.writeLog(L"summary: " + std::to_wstring(count) + L" commands, " + std::to_wstring(failed) + L" failed");
    if (!logPath.empty()) script.logFile.reset();
    return failed == 0;
}

}  // namespace host
