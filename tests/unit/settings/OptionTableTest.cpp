#include <gmock/gmock.h>
#include <map>
#include <gtest/gtest.h>

#include "plugin/ModelController.h"
#include "settings/OptionTable.h"
#include "settings/TarvoSettingsManager.h"

namespace {

class CountingObserver : public SettingsObserver {
public:
    void attachedToSettings(TarvoSettingsManager*) override {}
    void settingsChanged(const std::wstring&, const std::wstring& key) override { keys.push_back(key); }
    std::vector<std::wstring> keys;
};

const options::OptionDescriptor* option(const std::vector<options::OptionDescriptor>& table, int id) {
    return options::findByControl(table, id);
}

}  // namespace

TEST(OptionTable, ConfirmingEveryBoxStoresAndTellsEveryKey) {
    const auto table = options::standardOptions();
    ASSERT_EQ(table.size(), 6u);
    TarvoSettingsManager store;
    CountingObserver observer;
    store.addObserver(&observer);
    store.setString(L"ORMU", L"OrmuLogin", L"admin");
    store.setString(L"ORMU", L"OrmuPassword", L"secret");
    observer.keys.clear();

    // The user cleared login and password: both must really be cleared.
    const std::wstring longPath = L"C:\\" + std::wstring(400, L'p');
    const std::map<int, std::wstring> boxes = {
        {1020, L"10.0.0.7"}, {1021, longPath}, {1022, L""}, {1023, L""}};
    for (const auto& descriptor : table) {
        if (descriptor.kind == options::CheckBox) options::storeChecked(store, descriptor, descriptor.controlId == 1029);
        else options::storeText(store, descriptor, boxes.at(descriptor.controlId));
    }
    EXPECT_THAT(observer.keys, ::testing::ElementsAre(L"OrmuIp", L"WgetPath", L"OrmuLogin", L"OrmuPassword",
                                                      L"LoadIncludes", L"LoadImages"));
    EXPECT_EQ(store.getString(L"ORMU", L"OrmuLogin"), L"");
    EXPECT_EQ(store.getString(L"ORMU", L"OrmuPassword"), L"");
    EXPECT_EQ(store.getString(L"ORMU", L"WgetPath"), longPath);
    EXPECT_TRUE(store.getBool(L"ORMU", L"LoadImages"));
    EXPECT_TRUE(store.exists(L"ORMU", L"LoadIncludes"));
    EXPECT_FALSE(store.getBool(L"ORMU", L"LoadIncludes"));

    // What the boxes show next time.
    EXPECT_EQ(options::boxText(store, *option(table, 1020)), L"10.0.0.7");
    EXPECT_TRUE(options::isChecked(store, *option(table, 1029)));
    EXPECT_FALSE(options::isChecked(store, *option(table, 1020)));  // a string is not a tick
}

TEST(OptionTable, NumberBoxesReadAndShowUnsignedNumbers) {
    EXPECT_EQ(options::parseUnsigned(L"8080"), 8080u);
    EXPECT_EQ(options::parseUnsigned(L"  42 "), 42u);
    EXPECT_EQ(options::parseUnsigned(L"4294967295"), 4294967295u);
    EXPECT_EQ(options::parseUnsigned(L"4294967296"), 0u);
    EXPECT_EQ(options::parseUnsigned(L"-1"), 0u);
    EXPECT_EQ(options::parseUnsigned(L"12ab"), 0u);
    EXPECT_EQ(options::parseUnsigned(L""), 0u);

    TarvoSettingsManager store;
    const options::OptionDescriptor port{1030, -1, options::NumberBox, L"ORMU", L"Port", L"Port"};
    options::storeText(store, port, L"4294967295");
    EXPECT_EQ(options::boxText(store, port), L"4294967295");
    options::storeText(store, port, L"none");
    EXPECT_TRUE(store.exists(L"ORMU", L"Port"));
    EXPECT_EQ(options::boxText(store, port), L"0");
    EXPECT_EQ(options::boxText(store, {1031, -1, options::NumberBox, L"ORMU", L"Absent", L""}), L"0");
}

TEST(OptionTable, DescriptionsAreFoundByEitherControl) {
    std::vector<options::OptionDescriptor> table = options::standardOptions();
    EXPECT_EQ(option(table, 1020)->description, L"Ip of ormu for the test dialog");
    EXPECT_EQ(option(table, 1029)->key, L"LoadImages");
    EXPECT_EQ(option(table, 1001), nullptr);
    EXPECT_EQ(option(table, -1), nullptr);  // "no second control" is not an id
    table.push_back({1040, 1041, options::TextBox, L"ORMU", L"X", L"second"});
    EXPECT_EQ(option(table, 1041)->description, L"second");
    EXPECT_EQ(options::helpKey(1020), L"1020_HELP");
}
