// quorrel on Windows: UTF-16 arguments; lines to a console as UTF-16, to a
// file or pipe as UTF-8.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <exception>

#include "base/TextCodec.h"
#include "cli/Program.h"

namespace {

class WindowsConsole : public cli::Console {
public:
    void out(const std::wstring& line) override { write(STD_OUTPUT_HANDLE, line); }
    void err(const std::wstring& line) override { write(STD_ERROR_HANDLE, line); }

private:
    static void write(DWORD which, const std::wstring& line) {
        const HANDLE handle = ::GetStdHandle(which);
        if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
        DWORD mode = 0;
        DWORD written = 0;
        if (::GetConsoleMode(handle, &mode)) {
            const std::wstring text = line + L"\r\n";
            ::WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        } else {
            const std::string bytes = text::toUtf8(line) + "\r\n";
            ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        }
    }
};

// Both streams in binary mode (the protocol counts bytes, and a text-mode
// stream would turn "\n" into "\r\n"); the protocol gets standard output to
// itself, and standard output's handle and descriptor then lead to standard
// error, so that nothing else reaches the client.
class StandardStreams : public cli::ProtocolStreams {
public:
    std::FILE* input() override {
        ::_setmode(::_fileno(stdin), _O_BINARY);
        return stdin;
    }
    std::FILE* takeOutput() override {
        std::fflush(stdout);
        const int own = ::_dup(::_fileno(stdout));
        if (own < 0 || ::_dup2(::_fileno(stderr), ::_fileno(stdout)) < 0) return nullptr;
        ::SetStdHandle(STD_OUTPUT_HANDLE, ::GetStdHandle(STD_ERROR_HANDLE));
        ::_setmode(own, _O_BINARY);
        return ::_fdopen(own, "wb");
    }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        std::vector<std::wstring> args;
        for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
        WindowsConsole console;
        StandardStreams streams;
        return cli::runProgram(args, console, streams);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorrel: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "quorrel: unexpected failure\n");
    }
    return cli::kFailed;
}
