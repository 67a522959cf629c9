// Shared set-up of the Wine tests that load the plugin into the stand-in editor.
#pragma once

#include "Host.h"

#include <windows.h>

#include <fstream>
#include <memory>
#include <string>

namespace shelltest {

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        static int counter = 0;
        path_ = std::wstring(base) + L"quorrel-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        std::wstring from = path_ + L'\0';
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NO_UI;
        ::SHFileOperationW(&op);
    }
    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }
    std::wstring write(const std::wstring& name, const std::string& bytes) const {
        const std::wstring full = file(name);
        FILE* f = ::_wfopen(full.c_str(), L"wb");
        if (f != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return full;
    }
    std::string read(const std::wstring& name) const {
        std::string out;
        FILE* f = ::_wfopen(file(name).c_str(), L"rb");
        if (f == nullptr) return out;
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) out.append(buffer, n);
        std::fclose(f);
        return out;
    }

private:
    std::wstring path_;
};

inline std::unique_ptr<host::Host> startHostWithPlugin(const std::wstring& configFolder,
                                                       std::vector<std::wstring> plugins = {L"Quorrel"},
                                                       std::wstring pluginRoot = {}) {
    host::Options options;
    options.pluginRoot = pluginRoot.empty() ? host::exeFolder() + L"\\plugins" : pluginRoot;
    options.configFolder = configFolder;
    options.plugins = std::move(plugins);
    options.show = true;
    return host::Host::create(options);
}

}  // namespace shelltest
