// What a saved file is to its skin: the rule for "below a skin" (the media
// lookup's skin folder holds a media folder) and the files every window uses.
#include "skin/SavedFile.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

using skin::SavedFileRole;

TEST(SavedFile, WindowsIncludesAndFilesOutsideASkin) {
    const std::map<std::wstring, std::string> files = {
        {L"C:\\skins\\mine\\720p\\includes.xml",
         "<includes><include file=\"Nested.xml\"/><include name=\"a\"><x/></include></includes>"},
        {L"C:\\skins\\mine\\720p\\Nested.xml", "<includes><include file=\"More.xml\"/></includes>"},
        {L"C:\\skins\\mine\\720p\\More.xml", "<includes/>"},
    };
    const std::set<std::wstring> folders = {L"C:\\skins\\mine\\media"};
    const auto role = [&](const std::wstring& path) {
        return skin::RoleOfSavedFile(
            path,
            [&](const std::wstring& p, std::string& bytes) {
                const auto it = files.find(p);
                if (it == files.end()) return false;
                bytes = it->second;
                return true;
            },
            [&](const std::wstring& folder) { return folders.count(folder) > 0; });
    };
    EXPECT_EQ(role(L"C:\\skins\\mine\\720p\\Home.xml"), SavedFileRole::Window);
    EXPECT_EQ(role(L"C:\\skins\\mine\\720p\\MyDialog.XML"), SavedFileRole::Window);
    // Used by every window: the skin is reloaded, no window opened.
    EXPECT_EQ(role(L"C:\\skins\\mine\\720p\\includes.xml"), SavedFileRole::Shared);
    EXPECT_EQ(role(L"C:\\skins\\mine\\720p\\Font.xml"), SavedFileRole::Shared);
    EXPECT_EQ(role(L"C:\\skins\\mine\\720p\\nested.xml"), SavedFileRole::Shared);
    EXPECT_EQ(role(L"C:\\skins\\mine\\720p\\more.xml"), SavedFileRole::Shared);
    // Not a skin's XML file.
    EXPECT_EQ(role(L"C:\\skins\\mine\\720p\\notes.txt"), SavedFileRole::None);
    EXPECT_EQ(role(L"C:\\elsewhere\\folder\\Home.xml"), SavedFileRole::None);
    EXPECT_EQ(role(L"Home.xml"), SavedFileRole::None);
}
