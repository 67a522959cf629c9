// quorrel-ort on Windows: UTF-16 arguments; lines to a console as UTF-16,
// to a file or pipe as UTF-8.
#include <windows.h>

#include <cstdio>
#include <exception>

#include "base/TextCodec.h"
#include "cli/OrtTool.h"

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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        std::vector<std::wstring> args;
        for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
        WindowsConsole console;
        return cli::runOrtTool(args, console);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorrel-ort: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "quorrel-ort: unexpected failure\n");
    }
    return cli::kFailed;
}
