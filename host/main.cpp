// quorrel-host.exe: the stand-in editor, interactive or driven by a script.
//   quorrel-host.exe [--plugins DIR] [--config DIR] [--plugin NAME]... [FILE...]
//   quorrel-host.exe --script FILE --log FILE [--plugins DIR] [--config DIR] [--hidden]
#include "Host.h"
#include "base/Win32Handles.h"

#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

int usage(const wchar_t* problem) {
    std::wstring text = std::wstring(problem) +
                        L"\nusage: quorrel-host [--plugins DIR] [--config DIR] [--plugin NAME]... [--hidden] "
                        L"[--script FILE --log FILE] [FILE...]";
    std::fwprintf(stderr, L"%ls\n", text.c_str());
    return 2;
}

int run(int argc, wchar_t** argv) {
    host::Options options;
    std::wstring script, log;
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        auto value = [&](std::wstring& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::wstring v;
        if (a == L"--script") {
            if (!value(script)) return usage(L"--script needs a file");
        } else if (a == L"--log") {
            if (!value(log)) return usage(L"--log needs a file");
        } else if (a == L"--config") {
            if (!value(options.configFolder)) return usage(L"--config needs a folder");
        } else if (a == L"--plugins") {
            if (!value(options.pluginRoot)) return usage(L"--plugins needs a folder");
        } else if (a == L"--plugin") {
            if (!value(v)) return usage(L"--plugin needs a name");
            options.plugins.push_back(v);
        } else if (a == L"--hidden") {
            options.show = false;
        } else if (a.size() > 1 && a[0] == L'-' && a[1] == L'-') {
            return usage((L"unknown option " + a).c_str());
        } else {
            options.files.push_back(a);
        }
    }
    if (!log.empty() && script.empty()) return usage(L"--log goes with --script");
    options.dismissUnexpectedDialogs = !script.empty();
    std::wstring error;
    auto editor = host::Host::create(options, &error);
    if (!editor) {
        std::fwprintf(stderr, L"quorrel-host: %ls\n", error.c_str());
        if (!log.empty()) {
            win::KernelHandle h(CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            if (h) {
                std::string bytes = "FAIL: the host could not start\r\n";
                DWORD n = 0;
                WriteFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
            }
        }
        return 3;
    }
    if (!script.empty()) {
        bool ok = editor->runScript(script, log);
        editor->shutdown();
        return ok ? 0 : 1;
    }
    return editor->run();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception&) {
        std::fwprintf(stderr, L"quorrel-host: out of memory\n");
        return 4;
    }
}
