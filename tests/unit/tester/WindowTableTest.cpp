#include "tester/WindowTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using tester::windowIdForFile;

TEST(WindowTable, MapsSkinFilesToWindowIdsFirstRowWinning) {
    EXPECT_EQ(windowIdForFile(L"home.xml"), L"10000");
    // Rows 7 to 9 and 30 also name home.xml; row 1 comes first.
    EXPECT_EQ(windowIdForFile(L"Home.XML"), L"10000");
    EXPECT_EQ(windowIdForFile(L"settingscategory.xml"), L"10012");
    EXPECT_EQ(windowIdForFile(L"filemanager.xml"), L"10003");
    EXPECT_EQ(windowIdForFile(L"myvideonav.xml"), L"10025");
    EXPECT_EQ(windowIdForFile(L"dialogyesno.xml"), L"10100");
    EXPECT_EQ(windowIdForFile(L".xml"), L"10011");
}

TEST(WindowTable, UnknownFilesComeBackLowerCasedInAsciiOnly) {
    EXPECT_EQ(windowIdForFile(L"MyWindow.xml"), L"mywindow.xml");
    EXPECT_EQ(windowIdForFile(L"custom.xml"), L"custom.xml");
    // Only A to Z fold; other letters stay as they are.
    EXPECT_EQ(windowIdForFile(L"\u00C4RGER.xml"), L"\u00C4rger.xml");
    // Names are compared whole: no prefix or suffix matches.
    EXPECT_EQ(windowIdForFile(L"home.xml.bak"), L"home.xml.bak");
    EXPECT_EQ(windowIdForFile(L"xhome.xml"), L"xhome.xml");
    // Only an empty name meets the rows without a file name (the panel never
    // asks for one: it needs the .xml ending).
    EXPECT_EQ(windowIdForFile(L""), L"10008");
}

TEST(WindowTable, HasItsRowsInOrder) {
    const tester::WindowRow* rows = tester::windowTable();
    EXPECT_STREQ(rows[0].name, L"home");
    EXPECT_STREQ(rows[13].id, L"10012");
    EXPECT_STREQ(rows[29].xmlFile, L"home.xml");
    EXPECT_STREQ(rows[94].name, L"peripheralsettings");
    EXPECT_STREQ(rows[94].id, L"10150");
    // Every id is decimal digits; every file name is already lower case.
    for (std::size_t i = 0; i < tester::kWindowRowCount; ++i) {
        const std::wstring id = rows[i].id;
        EXPECT_EQ(id.find_first_not_of(L"0123456789"), std::wstring::npos) << i;
        EXPECT_EQ(tester::asciiLower(rows[i].xmlFile), rows[i].xmlFile) << i;
    }
}
