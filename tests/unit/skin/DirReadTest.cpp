#include "skin/DirectoryReader.h"
#include "FakeFileSystem.h"

#include <gtest/gtest.h>

TEST(NormaliseFolder, DropsTrailingBlanksThenTrailingSeparators) {
    EXPECT_EQ(L"C:\\skin\\media", NormaliseFolder(L"C:\\skin\\media\\"));
    EXPECT_EQ(L"C:\\skin\\media", NormaliseFolder(L"C:\\skin\\media\\\\ \t"));
    EXPECT_EQ(L"C:\\skin/media/", NormaliseFolder(L"C:\\skin/media/"));  // backslash paths keep '/'
    EXPECT_EQ(L"/skin/media", NormaliseFolder(L"/skin/media//"));
    EXPECT_EQ(L"C:", NormaliseFolder(L"C:\\"));
    EXPECT_EQ(L"", NormaliseFolder(L"\\\\  "));
    EXPECT_EQ(L"plain", NormaliseFolder(L"plain"));
}

TEST(DirectoryReader, ScansFoldersInPostOrderSkippingLinksAndListsMatchingFiles) {
    FakeFileSystem fs;
    fs.addFile(L"S\\a\\x\\deep.png");
    fs.addFile(L"S\\a\\one.PNG");
    fs.addFolder(L"S\\b");
    fs.addFolder(L"S\\folder.png");  // a folder is never listed as a file
    fs.addFile(L"S\\top.png");
    fs.addFile(L"S\\top.jpg");
    fs.addLink(L"S\\b", L"loop");  // would lead back up the tree

    DirectoryReader reader(fs);
    EXPECT_TRUE(reader.ScanFolders(L"S\\ "));
    EXPECT_EQ(L"S", reader.startFolder());
    EXPECT_EQ((std::vector<std::wstring>{L"S\\a\\x", L"S\\a", L"S\\b", L"S\\folder.png", L"S"}), reader.folders());

    EXPECT_TRUE(reader.FindFiles(L"*.png"));
    std::vector<std::wstring> paths;
    for (const DirEntry& e : reader.files()) {
        paths.push_back(e.path);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"S\\a\\x\\deep.png", L"S\\a\\one.PNG", L"S\\top.png"}), paths);

    // Further masks append; clearing empties.
    EXPECT_TRUE(reader.FindFiles(L"*.jpg"));
    EXPECT_EQ(4u, reader.files().size());
    reader.ClearFiles();
    EXPECT_TRUE(reader.files().empty());

    // A missing start folder still lists itself, and finds nothing.
    EXPECT_TRUE(reader.ScanFolders(L"missing"));
    EXPECT_EQ(std::vector<std::wstring>{L"missing"}, reader.folders());
    EXPECT_TRUE(reader.FindFiles(L"*.png"));
    EXPECT_TRUE(reader.files().empty());
}

namespace {

// A file system in which every folder holds itself: a loop no flag reveals.
class EndlessFolders : public DirectoryLister {
public:
    bool list(const std::wstring&, std::vector<DirItem>& out) override {
        out = {DirItem{L"again", true, false}};
        return true;
    }
    FileStamp stamp(const std::wstring&) override { return FileStamp{true, true, 0, 0}; }
};

}  // namespace

TEST(DirectoryReader, FolderLoopsEndInsteadOfExhaustingTheStack) {
    EndlessFolders fs;
    DirectoryReader reader(fs);
    EXPECT_TRUE(reader.ScanFolders(L"C:\\x"));
    EXPECT_LE(reader.folders().size(), 100u);
    EXPECT_EQ(L"C:\\x", reader.folders().back());
}
