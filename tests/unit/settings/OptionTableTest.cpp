#include <gtest/gtest.h>

#include "settings/OptionTable.h"
#include "settings/SettingsStore.h"

TEST(OptionTable, NumberBoxesReadAndShowUnsignedNumbers) {
    EXPECT_EQ(options::parseUnsigned(L"  42 "), 42u);
    EXPECT_EQ(options::parseUnsigned(L"4294967295"), 4294967295u);
    for (const wchar_t* invalid : {L"4294967296", L"-1", L"12ab", L""}) EXPECT_EQ(options::parseUnsigned(invalid), 0u);

    SettingsStore store;
    const options::OptionDescriptor port{1030, -1, options::NumberBox, L"ORMU", L"Port", L"Port"};
    options::storeText(store, port, L"4294967295");
    EXPECT_EQ(options::boxText(store, port), L"4294967295");
    options::storeText(store, port, L"none");
    EXPECT_EQ(options::boxText(store, port), L"0");
    EXPECT_TRUE(store.exists(L"ORMU", L"Port"));
}

TEST(OptionTable, DescriptionsAreFoundByEitherControlButNotByTheNoControlMark) {
    std::vector<options::OptionDescriptor> table = options::standardOptions();
    ASSERT_EQ(table.size(), 13u);
    EXPECT_EQ(options::findByControl(table, 1020)->description, L"Ip of ormu for the test dialog");
    EXPECT_EQ(options::findByControl(table, 1001), nullptr);
    EXPECT_EQ(options::findByControl(table, -1), nullptr);
    table.push_back({1040, 1041, options::TextBox, L"ORMU", L"X", L"second"});
    EXPECT_EQ(options::findByControl(table, 1041)->description, L"second");
    EXPECT_EQ(options::helpKey(1020), L"1020_HELP");
}

TEST(OptionTable, AChoiceBoxStoresOneOfItsChoicesAndShowsTheFirstForAnyOtherValue) {
    const std::vector<options::OptionDescriptor> table = options::standardOptions();
    const options::OptionDescriptor* connection = options::findByControl(table, 1038);
    ASSERT_NE(connection, nullptr);
    ASSERT_EQ(connection->choices, (std::vector<std::wstring>{L"automatic", L"jsonrpc", L"http-command"}));
    SettingsStore store;
    EXPECT_EQ(options::choiceIndex(store, *connection), 0u);
    options::storeText(store, *connection, L"http-command");
    EXPECT_EQ(options::choiceIndex(store, *connection), 2u);
    EXPECT_EQ(store.getString(L"ORMU", L"Connection"), L"http-command");
    options::storeText(store, *connection, L"JSONRPC");
    EXPECT_EQ(store.getString(L"ORMU", L"Connection"), L"automatic");
    store.setString(L"ORMU", L"Connection", L"edited by hand");
    EXPECT_EQ(options::choiceIndex(store, *connection), 0u);
}
