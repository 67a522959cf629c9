#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "settings/MediaCenterFiles.h"
#include "settings/ModelController.h"
#include "settings/SettingsStore.h"
#include "support/TestSupport.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

using Change = std::pair<std::wstring, std::wstring>;

class RecordingObserver : public SettingsObserver {
public:
    void attachedToSettings(SettingsStore* store) override { store_ = store; }
    void settingsChanged(const std::wstring& group, const std::wstring& key) override {
        changes.emplace_back(group, key);
    }
    SettingsStore* store_ = nullptr;
    std::vector<Change> changes;
};

// Registers its keys the way the tester and controls panels do when attached.
class KeyOwner : public RecordingObserver {
public:
    KeyOwner(std::vector<std::wstring> strings, std::vector<std::wstring> flags)
        : strings_(std::move(strings)), flags_(std::move(flags)) {}
    void attachedToSettings(SettingsStore* store) override {
        RecordingObserver::attachedToSettings(store);
        for (const auto& key : strings_) settings_keys::registerString(*store, *this, key.c_str(), L"");
        for (const auto& key : flags_) settings_keys::registerBool(*store, *this, key.c_str(), false);
    }

private:
    std::vector<std::wstring> strings_;
    std::vector<std::wstring> flags_;
};

std::string settingsFile(const std::string& declaration, const std::string& body) {
    return declaration + "\n<QuorrelSettings>\n" + body + "</QuorrelSettings>\n";
}

const std::string kDeclaration = "<?xml version=\"1.0\" ?>";

}  // namespace

TEST(SettingsStore, RoundTripsEveryTypeThroughTheFile) {
    testsupport::ScratchFolder folder{L"settings"};
    const std::wstring path = folder.file(L"Quorrel.xml");
    {
        SettingsStore store;
        store.setBool(L"ORMU", L"LoadImages", true);
        store.setBool(L"ORMU", L"LoadIncludes", false);
        store.setInt(L"ORMU", L"Port", -8080);
        store.setFloat(L"ORMU", L"Ratio", 0.25f);
        store.setString(L"ORMU", L"WgetPath", L"C:\\tools\\wget");
        store.setString(L"ORMU", L"Spaced", L"  two  blanks  ");
        store.setString(L"ORMU", L"Markup", L"<a & \"b\">");
        store.setString(L"ORMU", L"Empty", L"");
        ASSERT_TRUE(store.save(path));
    }
    const std::string written = testsupport::readFile(path);
    EXPECT_THAT(written, HasSubstr("<?xml version=\"1.0\""));
    EXPECT_THAT(written, HasSubstr("<Value name=\"Ratio\" type=\"float\">0.250000</Value>"));
    EXPECT_THAT(written, HasSubstr("<Value name=\"LoadImages\" type=\"bool\">true</Value>"));

    SettingsStore loaded;
    ASSERT_TRUE(loaded.load(path));
    EXPECT_TRUE(loaded.getBool(L"ORMU", L"LoadImages"));
    EXPECT_TRUE(loaded.exists(L"ORMU", L"LoadIncludes"));
    EXPECT_FALSE(loaded.getBool(L"ORMU", L"LoadIncludes"));
    EXPECT_EQ(loaded.getInt(L"ORMU", L"Port"), -8080);
    EXPECT_FLOAT_EQ(loaded.getFloat(L"ORMU", L"Ratio"), 0.25f);
    EXPECT_EQ(loaded.getString(L"ORMU", L"WgetPath"), L"C:\\tools\\wget");
    EXPECT_EQ(loaded.getString(L"ORMU", L"Spaced"), L"  two  blanks  ");
    EXPECT_EQ(loaded.getString(L"ORMU", L"Markup"), L"<a & \"b\">");
    // A cleared value stays cleared instead of vanishing and letting a default back in.
    ASSERT_NE(loaded.find(L"ORMU", L"Empty"), nullptr);
    EXPECT_EQ(loaded.find(L"ORMU", L"Empty")->type, SettingValue::String);
}

TEST(SettingsStore, NonAsciiPathAndValuesRoundTrip) {
    testsupport::ScratchFolder folder{L"settings"};
    const std::wstring path = folder.file(L"Ch\u00e8ques \u65e5\u672c \u0416.xml");
    const std::wstring value = L"\u00e9t\u00e9 \u20ac \u65e5\u672c\u8a9e \u0416\u0436";
    {
        SettingsStore store;
        store.setString(L"\u00c4rger", L"Pa\u00df", value);
        ASSERT_TRUE(store.save(path));
    }
    EXPECT_THAT(testsupport::readFile(path), HasSubstr("encoding=\"UTF-8\""));
    SettingsStore loaded;
    ASSERT_TRUE(loaded.load(path));
    EXPECT_EQ(loaded.getString(L"\u00c4rger", L"Pa\u00df"), value);
}

TEST(SettingsStore, ReadsAnsiFilesOfOlderVersionsAndMarkedUtf8) {
    testsupport::ScratchFolder folder{L"settings"};
    const std::wstring path = folder.file(L"Quorrel.xml");
    // No encoding in the declaration: the 8-bit text of older versions
    // (stood in for natively by Latin-1).
    testsupport::writeFile(path, settingsFile(kDeclaration,
                                              "<Group name=\"ORMU\">\n"
                                              "<Value name=\"OrmuLogin\" type=\"string\">Ren\xe9</Value>\n"
                                              "</Group>\n"));
    SettingsStore store;
    ASSERT_TRUE(store.load(path));
    EXPECT_EQ(store.getString(L"ORMU", L"OrmuLogin"), L"Ren\u00e9");

    // A byte-order mark says UTF-8 even where the declaration does not.
    testsupport::writeFile(
        path, "\xEF\xBB\xBF" + settingsFile(kDeclaration,
                                            "<Group name=\"ORMU\">\n"
                                            "<Value name=\"OrmuLogin\" type=\"string\">Ren\xc3\xa9</Value>\n"
                                            "</Group>\n"));
    ASSERT_TRUE(store.load(path));
    EXPECT_EQ(store.getString(L"ORMU", L"OrmuLogin"), L"Ren\u00e9");
}

TEST(SettingsStore, GroupsAndKeysAreOrderedByCodeUnits) {
    testsupport::ScratchFolder folder{L"settings"};
    const std::wstring path = folder.file(L"Quorrel.xml");
    SettingsStore store;
    store.setInt(L"alpha", L"b", 1);
    store.setInt(L"Zeta", L"z", 2);
    store.setInt(L"ORMU", L"b", 3);
    store.setInt(L"ORMU", L"B", 4);
    store.setInt(L"ORMU", L"a", 5);
    ASSERT_TRUE(store.save(path));
    const std::string written = testsupport::readFile(path);
    const auto ormu = written.find("\"ORMU\"");
    const auto zeta = written.find("\"Zeta\"");
    const auto alpha = written.find("\"alpha\"");
    ASSERT_NE(alpha, std::string::npos);
    EXPECT_LT(ormu, zeta);
    EXPECT_LT(zeta, alpha);

    std::vector<std::wstring> seen;
    for (bool group = store.firstGroup(); group; group = store.nextGroup()) {
        for (bool value = store.firstValue(); value; value = store.nextValue())
            seen.push_back(store.groupName() + L"/" + store.valueName());
    }
    EXPECT_THAT(seen, ElementsAre(L"ORMU/B", L"ORMU/a", L"ORMU/b", L"Zeta/z", L"alpha/b"));
    // Past the end every cursor question has an empty answer.
    EXPECT_EQ(store.groupName(), L"");
    EXPECT_EQ(store.valueName(), L"");
    EXPECT_EQ(store.currentValue(), nullptr);
    EXPECT_FALSE(store.firstValue());
    EXPECT_FALSE(store.nextValue());
    EXPECT_FALSE(store.nextGroup());
    SettingsStore empty;
    EXPECT_FALSE(empty.firstGroup());
    EXPECT_FALSE(empty.firstValue());
}

TEST(SettingsStore, RejectsWholeFilesWithAnotherVersionDeclarationOrRoot) {
    testsupport::ScratchFolder folder{L"settings"};
    const std::wstring path = folder.file(L"Quorrel.xml");
    const std::string body = "<Group name=\"ORMU\"><Value name=\"OrmuIp\" type=\"string\">1.2.3.4</Value></Group>\n";
    const std::vector<std::string> rejected = {
        settingsFile("<?xml version=\"1.1\" ?>", body),
        settingsFile("", body),
        kDeclaration + "\n<OtherSettings>" + body + "</OtherSettings>\n",
        kDeclaration + "\n<QuorrelSettings>" + body,  // cut short
        "",
    };
    for (const auto& content : rejected) {
        testsupport::writeFile(path, content);
        SettingsStore store;
        store.setString(L"ORMU", L"OrmuIp", L"kept");
        EXPECT_FALSE(store.load(path)) << content;
        EXPECT_EQ(store.getString(L"ORMU", L"OrmuIp"), L"kept") << content;
    }
    SettingsStore store;
    EXPECT_FALSE(store.load(folder.file(L"missing.xml")));
}

TEST(SettingsStore, SkipsMalformedValuesOneByOne) {
    testsupport::ScratchFolder folder{L"settings"};
    const std::wstring path = folder.file(L"Quorrel.xml");
    testsupport::writeFile(path, settingsFile(kDeclaration,
                                              "<Group name=\"ORMU\">\n"
                                              "<Value name=\"LoadImages\" type=\"bool\">yes</Value>\n"
                                              "<Value name=\"LoadIncludes\" type=\"bool\">true</Value>\n"
                                              "<Value type=\"string\">nameless</Value>\n"
                                              "<Value name=\"Typeless\">x</Value>\n"
                                              "<Value name=\"Odd\" type=\"double\">1.5</Value>\n"
                                              "<Value name=\"Count\" type=\"int\">42abc</Value>\n"
                                              "<Value name=\"NoNumber\" type=\"int\">abc</Value>\n"
                                              "<Value name=\"Huge\" type=\"int\">99999999999999</Value>\n"
                                              "<Value name=\"Textless\" type=\"int\"/>\n"
                                              "<Value name=\"Scale\" type=\"float\">2.5e1x</Value>\n"
                                              "</Group>\n"
                                              "<Group><Value name=\"k\" type=\"int\">7</Value></Group>\n"));
    SettingsStore store;
    ASSERT_TRUE(store.load(path));
    EXPECT_FALSE(store.exists(L"ORMU", L"LoadImages"));
    EXPECT_TRUE(store.getBool(L"ORMU", L"LoadIncludes"));
    EXPECT_FALSE(store.exists(L"ORMU", L"Typeless"));
    EXPECT_FALSE(store.exists(L"ORMU", L"Odd"));
    EXPECT_FALSE(store.exists(L"ORMU", L"Textless"));
    EXPECT_EQ(store.getInt(L"ORMU", L"Count"), 42);
    EXPECT_TRUE(store.exists(L"ORMU", L"NoNumber"));
    EXPECT_EQ(store.getInt(L"ORMU", L"NoNumber"), 0);
    EXPECT_EQ(store.getInt(L"ORMU", L"Huge"), 2147483647);
    EXPECT_FLOAT_EQ(store.getFloat(L"ORMU", L"Scale"), 25.0f);
    EXPECT_EQ(store.getInt(L"", L"k"), 7);
}

TEST(SettingsStore, TypedReadsAndCreation) {
    SettingsStore store;
    store.setString(L"ORMU", L"s", L"text");
    store.setBool(L"ORMU", L"b", true);
    EXPECT_FALSE(store.getBool(L"ORMU", L"s"));
    EXPECT_EQ(store.getString(L"ORMU", L"b"), L"");
    EXPECT_EQ(store.getInt(L"ORMU", L"b"), 0);
    EXPECT_EQ(store.getFloat(L"ORMU", L"missing"), 0.0f);

    EXPECT_EQ(store.create(L"ORMU", L"s"), nullptr);
    SettingValue* fresh = store.create(L"New", L"k");
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh, store.find(L"New", L"k"));
    EXPECT_EQ(fresh->type, SettingValue::Unset);

    // A set on a key of another type replaces the type.
    store.setInt(L"ORMU", L"s", 3);
    EXPECT_EQ(store.getInt(L"ORMU", L"s"), 3);
    EXPECT_EQ(store.getString(L"ORMU", L"s"), L"");
}

TEST(SettingsStore, ObserversAreToldOfEverySetInOrder) {
    testsupport::ScratchFolder folder{L"settings"};
    const std::wstring path = folder.file(L"Quorrel.xml");
    SettingsStore store;
    RecordingObserver first;
    RecordingObserver second;
    store.addObserver(nullptr);
    store.addObserver(&first);
    store.addObserver(&second);
    store.addObserver(&first);
    EXPECT_EQ(first.store_, &store);

    store.setBool(L"ORMU", L"LoadImages", true);
    store.setBool(L"ORMU", L"LoadImages", true);  // unchanged, still told
    EXPECT_THAT(second.changes, ElementsAre(Change{L"ORMU", L"LoadImages"}, Change{L"ORMU", L"LoadImages"}));
    EXPECT_EQ(first.changes.size(), 4u);

    store.removeObserver(&first);
    store.removeObserver(&first);
    store.removeObserver(&first);  // no longer known: ignored
    first.changes.clear();
    second.changes.clear();

    store.setString(L"ORMU", L"OrmuIp", L"10.0.0.1");
    store.setInt(L"Other", L"n", 1);
    ASSERT_TRUE(store.save(path));
    EXPECT_TRUE(first.changes.empty());
    ASSERT_TRUE(store.load(path));  // loading sets, and so tells
    EXPECT_THAT(second.changes,
                ElementsAre(Change{L"ORMU", L"OrmuIp"}, Change{L"Other", L"n"}, Change{L"ORMU", L"LoadImages"},
                            Change{L"ORMU", L"OrmuIp"}, Change{L"Other", L"n"}));
}

TEST(SettingsStore, FreshEmptyFileYieldsTheSixDefaultsAfterStartUp) {
    testsupport::ScratchFolder folder{L"settings"};
    const std::wstring path = folder.file(L"Quorrel.xml");
    testsupport::writeFile(path, "");
    namespace k = settings_keys;
    {
        SettingsStore store;
        EXPECT_FALSE(store.load(path));
        EXPECT_FALSE(store.firstGroup());
        KeyOwner tester({k::kOrmuIp, k::kWgetPath, k::kOrmuLogin, k::kOrmuPassword}, {});
        KeyOwner controls({}, {k::kLoadIncludes, k::kLoadImages});
        store.addObserver(&tester);
        store.addObserver(&controls);
        // Every set tells every observer present at the time.
        EXPECT_EQ(tester.changes.size(), 6u);
        EXPECT_EQ(controls.changes.size(), 2u);
        ASSERT_TRUE(store.save(path));
    }
    const std::string written = testsupport::readFile(path);
    for (const char* key : {"OrmuIp", "WgetPath", "OrmuLogin", "OrmuPassword", "LoadIncludes", "LoadImages"})
        EXPECT_THAT(written, HasSubstr(std::string("name=\"") + key + "\"")) << key;

    // The next start-up reads the stored values instead of writing defaults.
    SettingsStore store;
    ASSERT_TRUE(store.load(path));
    store.setBool(k::kGroup, k::kLoadImages, true);
    KeyOwner controls({}, {k::kLoadIncludes, k::kLoadImages});
    store.addObserver(&controls);
    EXPECT_TRUE(store.getBool(k::kGroup, k::kLoadImages));
    EXPECT_THAT(controls.changes, ElementsAre(Change{L"ORMU", L"LoadIncludes"}, Change{L"ORMU", L"LoadImages"}));
}

TEST(MediaCenterFiles, TellsBothPathsAtStartUpAndWhenEitherChanges) {
    namespace k = settings_keys;
    std::vector<std::pair<std::wstring, std::wstring>> heard;
    MediaCenterFiles files([&](const std::wstring& strings, const std::wstring& colours) {
        heard.emplace_back(strings, colours);
    });
    SettingsStore store;
    store.setString(k::kGroup, k::kCoreColoursFile, L"  C:\\core\\colors.xml ");
    store.addObserver(&files);
    // The missing key gets its empty default; the stored one is told, without its blanks.
    EXPECT_TRUE(store.exists(k::kGroup, k::kCoreStringsFile));
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0], (std::pair<std::wstring, std::wstring>{L"", L"C:\\core\\colors.xml"}));

    store.setString(k::kGroup, k::kCoreStringsFile, L"C:\\core\\strings.po");
    store.setString(k::kGroup, k::kOrmuIp, L"elsewhere");
    store.setString(k::kGroup, k::kCoreStringsFile, L"C:\\core\\strings.po");  // unchanged: nothing to tell
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1], (std::pair<std::wstring, std::wstring>{L"C:\\core\\strings.po", L"C:\\core\\colors.xml"}));
}
