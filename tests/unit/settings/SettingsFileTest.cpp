#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "settings/SettingsFile.h"
#include "settings/SettingsStore.h"
#include "support/TestSupport.h"

namespace {

// Lowers the largest file this process may write, so that a save runs out of
// room part-way as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = previous_;
        lowered.rlim_cur = bytes;
        active_ = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return active_; }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

}  // namespace

TEST(SettingsSave, InterruptedSaveLeavesTheOldFileIntact) {
    testsupport::ScratchFolder folder{L"settings"};
    const std::wstring path = folder.file(L"Quorrel.xml");
    SettingsStore store;
    store.setString(L"ORMU", L"OrmuIp", L"192.168.1.2");
    ASSERT_TRUE(store.save(path));
    const std::string before = testsupport::readFile(path);

    // Far more than the limit, and more than stdio buffers before it writes.
    for (int i = 0; i < 400; ++i) store.setString(L"Bulk", L"key" + std::to_wstring(i), std::wstring(40, L'x'));
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(store.save(path));
    }
    EXPECT_EQ(testsupport::readFile(path), before);
    EXPECT_FALSE(std::filesystem::exists(testsupport::nativePath(settings_file::pendingName(path))));

    SettingsStore reloaded;
    ASSERT_TRUE(reloaded.load(path));
    EXPECT_EQ(reloaded.getString(L"ORMU", L"OrmuIp"), L"192.168.1.2");
    EXPECT_FALSE(reloaded.exists(L"Bulk", L"key0"));
}

TEST(SettingsSave, FailureToCreateOrReplaceIsReported) {
    testsupport::ScratchFolder folder{L"settings"};
    const std::wstring path = folder.file(L"Quorrel.xml");
    SettingsStore store;
    store.setInt(L"G", L"k", 1);
    ASSERT_TRUE(store.save(path));
    const std::string before = testsupport::readFile(path);

    // Something that is not a file stands where the new file would go.
    std::filesystem::create_directory(testsupport::nativePath(settings_file::pendingName(path)));
    store.setInt(L"G", L"k", 2);
    EXPECT_FALSE(store.save(path));
    EXPECT_EQ(testsupport::readFile(path), before);
    std::filesystem::remove(testsupport::nativePath(settings_file::pendingName(path)));

    EXPECT_FALSE(store.save(folder.file(L"no/such/folder/Quorrel.xml")));
    EXPECT_FALSE(store.save(L""));
}
