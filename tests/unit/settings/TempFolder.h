// A fresh folder per test, removed with everything in it afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/TextCodec.h"

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorrel-settings-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The file's path as the store takes it (UTF-16 text of a UTF-8 name).
    std::wstring file(const std::wstring& name) const { return text::fromUtf8(path_.string()) + L"/" + name; }
    static std::filesystem::path native(const std::wstring& path) { return text::toUtf8(path); }

    static std::string read(const std::wstring& path) {
        std::ifstream in(native(path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void write(const std::wstring& path, const std::string& bytes) {
        std::ofstream out(native(path), std::ios::binary | std::ios::trunc);
        out << bytes;
    }

private:
    std::filesystem::path path_;
};
