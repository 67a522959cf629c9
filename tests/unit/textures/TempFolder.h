// A fresh folder per test (tests run in parallel processes), removed afterwards.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "OrtWriter.h"
#include "base/TextCodec.h"

class TempFolder {
public:
    TempFolder()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("quorrel-tex-") + (info ? info->name() : "x") + "-XXXXXX";
        path_ = std::filesystem::temp_directory_path() / name;
        std::string pattern = path_.string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes the bytes to a file of the folder and returns its path as UTF-16.
    std::wstring write(const std::string& name, const ortwriter::Bytes& bytes) const
    {
        const std::filesystem::path file = path_ / std::filesystem::u8path(name);
        EXPECT_TRUE(ortwriter::writeFile(file.string(), bytes));
        // Natively file names are UTF-8 bytes, whatever the test's locale.
        return text::fromUtf8(file.string());
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};
