// The plugin DLL loads the way the editor loads it and answers its six exports.
#include "npp/NppInterface.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Library {
    HMODULE module = ::LoadLibraryW(L"plugins\\Quorrel\\Quorrel.dll");
    ~Library() {
        if (module != nullptr) ::FreeLibrary(module);
    }
    template <typename Fn>
    Fn get(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    }
};

TEST(Exports, AnswerAsTheEditorExpects) {
    Library lib;
    ASSERT_NE(lib.module, nullptr) << ::GetLastError();
    auto isUnicode = lib.get<BOOL(__cdecl*)()>("isUnicode");
    auto getName = lib.get<const wchar_t*(__cdecl*)()>("getName");
    auto getFuncsArray = lib.get<npp::FuncItem*(__cdecl*)(int*)>("getFuncsArray");
    ASSERT_TRUE(isUnicode && getName && getFuncsArray);
    ASSERT_TRUE(lib.get<void*>("setInfo") && lib.get<void*>("beNotified") && lib.get<void*>("messageProc"));
    EXPECT_TRUE(isUnicode());
    EXPECT_EQ(std::wstring(getName()), L"&Quorrel");
    int count = 0;
    npp::FuncItem* items = getFuncsArray(&count);
    ASSERT_EQ(count, 17);
    EXPECT_EQ(std::wstring(items[2].itemName), L"&Ormu Image Previewer");
    ASSERT_NE(items[2].pShKey, nullptr);
    EXPECT_TRUE(items[2].pShKey->isCtrl && items[2].pShKey->isAlt && !items[2].pShKey->isShift);
    EXPECT_EQ(items[2].pShKey->key, 'V');
    ASSERT_NE(items[3].pShKey, nullptr);
    EXPECT_EQ(items[3].pShKey->key, 'B');
    EXPECT_EQ(std::wstring(items[7].itemName), L"Go to definition");
    ASSERT_NE(items[7].pShKey, nullptr);
    EXPECT_TRUE(items[7].pShKey->isCtrl && items[7].pShKey->isAlt && items[7].pShKey->isShift);
    EXPECT_EQ(items[7].pShKey->key, 'D');
    EXPECT_EQ(std::wstring(items[13].itemName), L"&Test window");
    ASSERT_NE(items[13].pShKey, nullptr);
    EXPECT_TRUE(items[13].pShKey->isCtrl && items[13].pShKey->isAlt && items[13].pShKey->isShift);
    EXPECT_EQ(items[13].pShKey->key, 'T');
    for (int i : {0, 1, 4, 5, 8, 9, 10, 11, 14}) EXPECT_EQ(items[i].pShKey, nullptr) << i;
    // Separators: no command.
    for (int i : {6, 12, 15}) EXPECT_EQ(items[i].pFunc, nullptr) << i;
    EXPECT_EQ(std::wstring(items[16].itemName), L"Complete &name");
    ASSERT_NE(items[16].pShKey, nullptr);
    EXPECT_TRUE(items[16].pShKey->isCtrl && items[16].pShKey->isAlt && items[16].pShKey->isShift);
    EXPECT_EQ(items[16].pShKey->key, VK_SPACE);
}

}  // namespace
