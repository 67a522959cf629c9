#include "textures/BundleExtraction.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using textures::isSafeEntryName;

TEST(SafeEntryName, AcceptsOrdinaryRelativePaths) {
    const std::wstring good[] = {
        L"a.png", L"buttons/focus.png", L"deep/er/still/x.jpg", L"with blank/na me.png",
        L"back\\slash.png", L".hidden.png", L"console.png", L"com10.png",
        L"lpt.png", L"\u00E9t\u00E9.png", L"a..b.png", L"nul_/x.png",
    };
    for (const std::wstring& name : good) {
        EXPECT_TRUE(isSafeEntryName(name)) << std::string(name.begin(), name.end());
    }
}

TEST(SafeEntryName, RejectsNamesThatLeaveTheFolderOrBreakWindows) {
    const std::wstring bad[] = {
        L"",
        L"/etc/passwd",
        L"\\Windows\\x.png",
        L"C:\\Windows\\x.png",
        L"C:x.png",
        L"c:/x.png",
        L"\\\\server\\share\\x.png",
        L"//server/share/x.png",
        L"\\\\?\\C:\\x.png",
        L"\\\\.\\PhysicalDrive0",
        L"../x.png",
        L"a/../../x.png",
        L"a/..",
        L"..",
        L"./x.png",
        L"a//b.png",
        L"a/",
        L"file.png:stream",
        L"file.png::$DATA",
        L"CON",
        L"nul.png",
        L"dir/Com1.png",
        L"LPT9",
        L"aux .png",
        L"CONOUT$",
        L"COM\u00B9.png",
        L"a<b.png",
        L"a>b.png",
        L"a|b.png",
        L"a?.png",
        L"a*.png",
        L"a\"b.png",
        L"tab\there.png",
        std::wstring(L"nul\0byte.png", 12),
        L"trailing.",
        L"trailing ",
        L"dir./x.png",
    };
    for (const std::wstring& name : bad) {
        EXPECT_FALSE(isSafeEntryName(name)) << std::string(name.begin(), name.end());
    }
}

TEST(ExtractionPlan, MirrorsEntryPathsInsideTheFolderAndSkipsUnsafeOnes) {
    const std::vector<std::wstring> names = {L"buttons/focus.png", L"a.png", L"../evil.png",
                                             L"icons/sub/b.jpg", L"a.png"};
    const auto plan = textures::planExtraction(names, L"D:\\my skins\\out\\");
    ASSERT_EQ(plan.size(), names.size());
    EXPECT_TRUE(plan[0].safe);
    EXPECT_EQ(plan[0].folder, L"D:\\my skins\\out\\buttons");
    EXPECT_EQ(plan[0].fullPath, L"D:\\my skins\\out\\buttons\\focus.png");
    EXPECT_EQ(plan[1].folder, L"");
    EXPECT_EQ(plan[1].fullPath, L"D:\\my skins\\out\\a.png");
    EXPECT_FALSE(plan[2].safe);
    EXPECT_EQ(plan[2].fullPath, L"");
    EXPECT_EQ(plan[2].folder, L"");
    EXPECT_EQ(plan[3].folder, L"D:\\my skins\\out\\icons\\sub");
    EXPECT_EQ(plan[3].fullPath, L"D:\\my skins\\out\\icons\\sub\\b.jpg");
    EXPECT_EQ(plan[4].name, L"a.png");
    EXPECT_EQ(plan[4].fullPath, plan[1].fullPath);
}

TEST(ExtractionPlan, ReportsSkippedEntriesOnceWithTheFirstNames) {
    EXPECT_EQ(textures::skippedEntriesMessage({}), L"");
    EXPECT_EQ(textures::skippedEntriesMessage({L"../x.png"}),
              L"1 entry of the bundle was not written:\r\n../x.png");
    std::vector<std::wstring> many;
    for (int i = 0; i < 12; ++i) {
        many.push_back(L"n" + std::to_wstring(i));
    }
    const std::wstring message = textures::skippedEntriesMessage(many, 3);
    EXPECT_EQ(message, L"12 entries of the bundle were not written:\r\nn0\r\nn1\r\nn2\r\n...");
}
