// A file for one secret: only the user may open it, its name is new every
// time, nothing already at the name is opened, and it goes with its owner.
#include "base/PrivateFile.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

TEST(PrivateFile, OnlyTheUserMayOpenItAndItGoesWithItsOwner) {
    testsupport::ScratchFolder folder(L"private");
    std::wstring first;
    {
        files::PrivateTempFile file;
        ASSERT_TRUE(file.create("secret \"#\" \\ \xc3\xa9\n", L"quorrel-", L".conf", folder.path()));
        first = file.path();
        EXPECT_EQ(testsupport::readFile(first), "secret \"#\" \\ \xc3\xa9\n");
        struct stat info {};
        ASSERT_EQ(::stat(testsupport::nativePath(first).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);

        files::PrivateTempFile second;
        ASSERT_TRUE(second.create("", L"quorrel-", L".conf", folder.path()));
        EXPECT_NE(second.path(), first);
        EXPECT_TRUE(second.remove());
    }
    EXPECT_FALSE(testsupport::fileExists(first));
    EXPECT_TRUE(testsupport::listFiles(folder.path()).empty());

    // Nowhere to write: no file, and nothing to remove.
    files::PrivateTempFile none;
    EXPECT_FALSE(none.create("x", L"quorrel-", L".conf", folder / L"missing"));
    EXPECT_TRUE(none.path().empty());
}

TEST(PrivateFile, ANameAlreadyTakenIsNeverOpened) {
    // A link planted at the name would otherwise have the secret written
    // where it points.
    testsupport::ScratchFolder folder(L"private");
    const std::wstring victim = folder / L"victim";
    const std::wstring taken = folder / L"taken.conf";
    ASSERT_TRUE(testsupport::writeFile(victim, "kept"));
    std::filesystem::create_symlink(testsupport::nativePath(victim), testsupport::nativePath(taken));
    EXPECT_FALSE(files::createPrivateFile(taken, "secret"));
    EXPECT_EQ(testsupport::readFile(victim), "kept");
}
