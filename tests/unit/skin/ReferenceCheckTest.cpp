#include "skin/ReferenceCheck.h"
#include "skin/SkinIndex.h"
#include "skin/SkinReferences.h"
#include "FakeFileSystem.h"

#include "OrtWriter.h"
#include "base/TextCodec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

using namespace skin;

namespace {

const std::vector<std::wstring> kImageElements = {L"texture", L"texturefocus", L"texturenofocus", L"bordertexture"};

struct Found {
    ReferenceKind kind;
    std::wstring name;
    std::size_t begin;
    bool operator==(const Found& o) const { return kind == o.kind && name == o.name && begin == o.begin; }
};

std::ostream& operator<<(std::ostream& os, const Found& f) {
    return os << text::toUtf8(kindName(f.kind)) << " " << text::toUtf8(f.name) << " @" << f.begin;
}

// The references of a text, line by line, as the scanner reports them.
std::vector<std::vector<Found>> scanText(const std::string& text) {
    const ReferenceRules rules(kImageElements);
    const TextLines lines(text);
    std::vector<std::vector<Found>> result;
    LineState state = LineState::Text;
    for (std::size_t i = 0; i < lines.lineCount(); ++i) {
        std::vector<Reference> refs;
        state = rules.scanLine(lines.line(i), state, refs);
        result.emplace_back();
        for (const Reference& r : refs) {
            EXPECT_LT(r.begin, r.end);
            result.back().push_back({r.kind, r.name, r.begin});
        }
    }
    return result;
}

// Files by path, for the include scan and the window files.
class Files {
public:
    void add(const std::wstring& path, std::string bytes) { files_[path] = std::move(bytes); }
    FileReader reader() {
        return [this](const std::wstring& path, std::string& bytes) {
            auto it = files_.find(path);
            if (it == files_.end()) return false;
            bytes = it->second;
            return true;
        };
    }

private:
    std::map<std::wstring, std::string> files_;
};

// Bundles by path; counts the reads.
class Bundles {
public:
    void set(const std::wstring& path, std::vector<std::string> names) { bundles_[path] = std::move(names); }
    BundleNameReader reader() {
        return [this](const std::wstring& path, std::vector<std::string>& names) {
            ++reads;
            auto it = bundles_.find(path);
            if (it == bundles_.end()) return false;
            names = it->second;
            return true;
        };
    }
    int reads = 0;

private:
    std::map<std::wstring, std::vector<std::string>> bundles_;
};

const wchar_t kWindows[] = L"C:\\skins\\demo\\720p";
const wchar_t kMedia[] = L"C:\\skins\\demo\\media";
const wchar_t kBundle[] = L"C:\\skins\\demo\\media\\textures.ort";
const wchar_t kIncludes[] = L"C:\\skins\\demo\\720p\\includes.xml";

Reference texture(const std::wstring& name) { return Reference{ReferenceKind::Texture, 0, 1, name}; }
Reference include(const std::wstring& name) { return Reference{ReferenceKind::Include, 0, 1, name}; }
Reference includeFile(const std::wstring& name) { return Reference{ReferenceKind::IncludeFile, 0, 1, name}; }

// A small skin: a loose file, a bundle, includes defined two files deep.
class SmallSkin : public ::testing::Test {
protected:
    SmallSkin() : index(fs, files.reader(), bundles.reader()) {
        fs.addFile(std::wstring(kWindows) + L"\\Home.xml");
        fs.addFile(std::wstring(kMedia) + L"\\Buttons\\Focus.png");
        fs.addFile(kBundle, 100);
        bundles.set(kBundle, {"icons/star.png", "backgrounds/Home.JPG"});
        fs.addFile(kIncludes);
        files.add(kIncludes, "<includes><include name=\"Top\"/><include file=\"more.xml\"/></includes>");
        fs.addFile(std::wstring(kWindows) + L"\\more.xml");
        files.add(std::wstring(kWindows) + L"\\more.xml",
                  "<includes><include name=\"Second\"/><include file=\"deep.xml\"/></includes>");
        fs.addFile(std::wstring(kWindows) + L"\\deep.xml");
        files.add(std::wstring(kWindows) + L"\\deep.xml",
                  "<includes><include name=\"Third\"/><include file=\"more.xml\"/></includes>");
    }

    FakeFileSystem fs;
    Files files;
    Bundles bundles;
    SkinIndex index;
};

}  // namespace

TEST(ReferenceRules, FindsEachKindOfReferenceWhereTheNameStands) {
    const auto lines = scanText(
        "<control type=\"image\">\r\n"  // CRLF document
        "  <texture border=\"2\">buttons/a.png</texture><texturefocus> b.png </texturefocus>\r\n"
        "  <texture/><texturenofocus />\r\n"  // self-closing: no name
        "  <include>Common</include><include content=\"Params\"><param/></include>\r\n"
        "  <include file=\"extra.xml\" /><include name=\"Defined\">\r\n"
        "  <label>buttons/not-an-image.png</label><bordertexture>a&amp;b.png</bordertexture>\r\n"
        "  <texture>\xC3\xA9t\xC3\xA9.png</texture>\r\n"
        "  <include condition=\"x\">Cond</include><include content=\"Self\"/>\r\n");
    ASSERT_EQ(9u, lines.size());
    EXPECT_TRUE(lines[0].empty());
    EXPECT_EQ(
        (std::vector<Found>{{ReferenceKind::Texture, L"buttons/a.png", 22}, {ReferenceKind::Texture, L"b.png", 60}}),
        lines[1]);
    EXPECT_TRUE(lines[2].empty());
    EXPECT_EQ((std::vector<Found>{{ReferenceKind::Include, L"Common", 11}, {ReferenceKind::Include, L"Params", 45}}),
              lines[3]);
    EXPECT_EQ((std::vector<Found>{{ReferenceKind::IncludeFile, L"extra.xml", 17}}), lines[4]);
    EXPECT_EQ((std::vector<Found>{{ReferenceKind::Texture, L"a&b.png", 56}}), lines[5]);
    EXPECT_EQ((std::vector<Found>{{ReferenceKind::Texture, L"\u00e9t\u00e9.png", 11}}), lines[6]);
    EXPECT_EQ((std::vector<Found>{{ReferenceKind::Include, L"Cond", 25}, {ReferenceKind::Include, L"Self", 57}}),
              lines[7]);
}

TEST(ReferenceRules, RunTimeNamesSchemesAndAbsolutePathsAreNoTexturePaths) {
    for (const wchar_t* name :
         {L"$INFO[ListItem.Icon]", L"$VAR[Background]", L"$PARAM[icon]", L"icons/$INFO[x].png", L"special://skin/x.png",
          L"http://host/x.png", L"/abs/x.png", L"\\abs\\x.png", L"C:\\media\\x.png", L"c:x.png", L""}) {
        EXPECT_FALSE(IsTexturePath(name)) << text::toUtf8(name);
    }
    EXPECT_TRUE(IsTexturePath(L"buttons\\focus.png"));
    EXPECT_TRUE(IsTexturePath(L"x.png"));
    const auto lines = scanText("<texture>$INFO[Skin.String(bg)]</texture><texture>special://x.png</texture>\n");
    EXPECT_TRUE(lines[0].empty());
    EXPECT_EQ(ReferenceKey(L"Buttons\\Focus.PNG"), ReferenceKey(L"buttons/focus.png"));
}

TEST(ReferenceRules, CommentsAndCDataOverLineEndsHideWhatTheyHold) {
    const auto lines = scanText(
        "<texture>a.png</texture><!-- <texture>b.png</texture>\n"
        "<texture>c.png</texture>\n"
        "--><texture>d.png</texture>\n"
        "<![CDATA[<texture>e.png</texture>]]><texture>f.png</texture>\n");
    EXPECT_EQ(1u, lines[0].size());
    EXPECT_TRUE(lines[1].empty());
    ASSERT_EQ(1u, lines[2].size());
    EXPECT_EQ(L"d.png", lines[2][0].name);
    ASSERT_EQ(1u, lines[3].size());
    EXPECT_EQ(L"f.png", lines[3][0].name);
}

TEST_F(SmallSkin, TexturesResolveOnDiskOrInTheBundleIgnoringCaseAndSlashes) {
    EXPECT_TRUE(index.refresh(kWindows));
    EXPECT_TRUE(index.resolves(texture(L"buttons/focus.png")));  // disk only
    EXPECT_TRUE(index.resolves(texture(L"BUTTONS\\Focus.png")));
    EXPECT_TRUE(index.resolves(texture(L"icons\\STAR.png")));  // bundle only
    EXPECT_TRUE(index.resolves(texture(L"backgrounds/home.jpg")));
    EXPECT_FALSE(index.resolves(texture(L"buttons/nofocus.png")));  // neither
    EXPECT_FALSE(index.resolves(texture(L"focus.png")));
    fs.addFile(std::wstring(kMedia) + L"\\icons\\star.png");  // both
    index.refresh(kWindows);
    EXPECT_TRUE(index.resolves(texture(L"icons/star.png")));

    const std::wstring why = index.explainMissing(texture(L"x.png"));
    EXPECT_NE(std::wstring::npos, why.find(L"x.png"));
    EXPECT_NE(std::wstring::npos, why.find(L"C:\\skins\\demo\\media\\"));
    EXPECT_NE(std::wstring::npos, why.find(kBundle));
}

TEST_F(SmallSkin, IncludesResolveThroughIncludeFilesThatIncludeOthers) {
    index.refresh(kWindows);
    for (const wchar_t* name : {L"Top", L"Second", L"Third"}) EXPECT_TRUE(index.resolves(include(name))) << name;
    EXPECT_FALSE(index.resolves(include(L"top")));
    EXPECT_FALSE(index.resolves(include(L"Nowhere")));
    EXPECT_NE(std::wstring::npos, index.explainMissing(include(L"Nowhere")).find(kIncludes));
    // Include files are looked for beside the document.
    EXPECT_TRUE(index.resolves(includeFile(L"more.xml")));
    EXPECT_TRUE(index.resolves(includeFile(L"MORE.xml")));
    EXPECT_FALSE(index.resolves(includeFile(L"gone.xml")));
    EXPECT_NE(std::wstring::npos, index.explainMissing(includeFile(L"gone.xml")).find(L"720p\\gone.xml"));
}

TEST_F(SmallSkin, ChangesAreSeenBySizesAndTimesAndOnlyTheChangedPartIsReadAgain) {
    index.refresh(kWindows);
    EXPECT_EQ(1, bundles.reads);
    EXPECT_FALSE(index.refresh(kWindows));
    EXPECT_EQ(1, index.mediaScans());

    // A new image in a sub-folder of the media folder.
    fs.addFile(std::wstring(kMedia) + L"\\Buttons\\NoFocus.png");
    EXPECT_TRUE(index.refresh(kWindows));
    EXPECT_TRUE(index.resolves(texture(L"buttons/nofocus.png")));
    EXPECT_EQ(1, bundles.reads);
    fs.remove(std::wstring(kMedia) + L"\\Buttons\\NoFocus.png");
    EXPECT_TRUE(index.refresh(kWindows));
    EXPECT_FALSE(index.resolves(texture(L"buttons/nofocus.png")));

    // The bundle repacked: its names are read again, once.
    bundles.set(kBundle, {"icons/moon.png"});
    fs.touch(kBundle, 200);
    EXPECT_TRUE(index.refresh(kWindows));
    EXPECT_EQ(2, bundles.reads);
    EXPECT_TRUE(index.resolves(texture(L"icons/moon.png")));
    EXPECT_FALSE(index.resolves(texture(L"icons/star.png")));
    EXPECT_FALSE(index.refresh(kWindows));
    EXPECT_EQ(2, bundles.reads);

    // An include file three levels down changed.
    files.add(std::wstring(kWindows) + L"\\deep.xml", "<includes><include name=\"Fourth\"/></includes>");
    fs.touch(std::wstring(kWindows) + L"\\deep.xml", 10);
    EXPECT_TRUE(index.refresh(kWindows));
    EXPECT_TRUE(index.resolves(include(L"Fourth")));
    EXPECT_FALSE(index.resolves(include(L"Third")));
    EXPECT_EQ(2, bundles.reads);

    // Another skin is read whole.
    EXPECT_TRUE(index.refresh(L"C:\\skins\\other\\720p"));
    EXPECT_FALSE(index.resolves(include(L"Top")));
    EXPECT_EQ(0u, index.bundleEntryCount());
}

TEST(ReadBundleNames, ReadsTheStoredNamesOfARealBundle) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "refs-names.ort";
    ortwriter::BundleSpec spec;
    for (const char* name : {"a/one.png", "B/Two.png"}) {
        ortwriter::EntrySpec entry;
        entry.path = name;
        entry.frames.push_back(
            ortwriter::frame(ortwriter::kBgra32, 1, 1, ortwriter::patternPixels(ortwriter::kBgra32, 1, 1, 1), false));
        spec.entries.push_back(entry);
    }
    ASSERT_TRUE(ortwriter::writeFile(file.string(), ortwriter::build(spec)));
    std::vector<std::string> names;
    EXPECT_TRUE(ReadBundleNames(text::fromUtf8(file.string()), names));
    EXPECT_EQ((std::vector<std::string>{"a/one.png", "B/Two.png"}), names);
    EXPECT_FALSE(ReadBundleNames(L"/nonexistent/textures.ort", names));
    std::filesystem::remove(file);
}

namespace {

// A document as the editor holds it: lines that edits replace.
class EditedLines : public LineSource {
public:
    explicit EditedLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    std::size_t lineCount() const override { return lines_.size(); }
    std::string line(std::size_t i) const override {
        ++reads;
        return lines_[i];
    }
    void replace(std::size_t first, std::size_t removed, std::vector<std::string> added) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first),
                     lines_.begin() + static_cast<std::ptrdiff_t>(first + removed));
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(first), added.begin(), added.end());
    }
    mutable int reads = 0;

private:
    std::vector<std::string> lines_;
};

std::vector<std::size_t> missingLines(const DocumentCheck& check) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < check.lineCount(); ++i) {
        for (const auto& c : check.referencesOn(i)) {
            if (!c.found) out.push_back(i);
        }
    }
    return out;
}

}  // namespace

TEST_F(SmallSkin, AnEditReadsOnlyTheLinesItTouched) {
    index.refresh(kWindows);
    const ReferenceRules rules(kImageElements);
    DocumentCheck check(rules);
    std::vector<std::string> text(100, "    <posx>1</posx>");
    text[10] = "    <texture>buttons/focux.png</texture>";
    text[50] = "    <include>Second</include>";
    text[60] = "    <texture>icons/star.png</texture>";
    EditedLines doc(text);
    check.checkAll(doc, index);
    EXPECT_EQ(3u, check.referenceCount());
    EXPECT_EQ((std::vector<std::size_t>{10}), missingLines(check));
    ASSERT_NE(nullptr, check.missingAt(10, 17));
    EXPECT_EQ(L"buttons/focux.png", check.missingAt(10, 17)->ref.name);
    EXPECT_EQ(nullptr, check.missingAt(10, 5));

    // Typing the right letter fixes the name: one line read.
    doc.reads = 0;
    doc.replace(10, 1, {"    <texture>buttons/focus.png</texture>"});
    check.linesReplaced(10, 1, 1);
    const auto ranges = check.recheck(doc, index);
    ASSERT_EQ(1u, ranges.size());
    EXPECT_EQ(10u, ranges[0].first);
    EXPECT_EQ(10u, ranges[0].last);
    EXPECT_EQ(1, doc.reads);
    EXPECT_TRUE(missingLines(check).empty());

    // Two edits before a check: a line split in two, then a line joined away.
    doc.replace(20, 1, {"    <texture>", "gone.png</texture>"});
    check.linesReplaced(20, 1, 2);
    doc.replace(70, 2, {"    <include>Nope</include>"});
    check.linesReplaced(70, 2, 1);
    doc.reads = 0;
    check.recheck(doc, index);
    EXPECT_EQ(3, doc.reads);
    EXPECT_EQ((std::vector<std::size_t>{70}), missingLines(check));
    EXPECT_EQ(L"Second", check.referencesOn(51)[0].ref.name);  // moved down with its line

    // Opening a comment hides every reference after it until it closes.
    doc.replace(5, 1, {"<!--"});
    check.linesReplaced(5, 1, 1);
    check.recheck(doc, index);
    EXPECT_EQ(0u, check.referenceCount());
    doc.replace(5, 1, {"<!-- -->"});
    check.linesReplaced(5, 1, 1);
    doc.reads = 0;
    check.recheck(doc, index);
    EXPECT_EQ(static_cast<int>(doc.lineCount()) - 5, doc.reads);
    EXPECT_EQ(4u, check.referenceCount());

    // An edit the check was not told of is caught by the line count.
    doc.replace(0, 0, {"<texture>new.png</texture>"});
    const auto whole = check.recheck(doc, index);
    ASSERT_EQ(1u, whole.size());
    EXPECT_EQ(doc.lineCount() - 1, whole[0].last);
    EXPECT_EQ((std::vector<std::size_t>{0, 71}), missingLines(check));

    // The skin changed under the document: resolved again without reading.
    fs.addFile(std::wstring(kMedia) + L"\\new.png");
    ASSERT_TRUE(index.refresh(kWindows));
    EXPECT_TRUE(check.resolveAgain(index));
    EXPECT_EQ((std::vector<std::size_t>{71}), missingLines(check));
}

TEST_F(SmallSkin, CheckingTheWindowFolderListsExactlyTheMissingReferences) {
    files.add(std::wstring(kWindows) + L"\\Home.xml",
              "<window>\n"
              "  <include>Top</include>\n"
              "  <control type=\"button\">\n"
              "    <texturefocus>buttons/focus.png</texturefocus>\n"
              "    <texturenofocus>buttons/missing.png</texturenofocus>\n"
              "    <include>Absent</include>\n"
              "  </control>\n"
              "</window>\n");
    fs.addFile(std::wstring(kWindows) + L"\\a.xml");
    files.add(std::wstring(kWindows) + L"\\a.xml",
              "<window><texture>$INFO[x]</texture><include file=\"no.xml\"/></window>");
    fs.addFile(std::wstring(kWindows) + L"\\readme.txt");
    const ReferenceRules rules(kImageElements);
    std::vector<std::wstring> told;
    const SkinCheckReport report = CheckWindowFolder(kWindows, fs, files.reader(), index, rules,
                                                     [&](std::size_t, std::size_t total, const std::wstring& file) {
                                                         EXPECT_EQ(5u, total);
                                                         told.push_back(file);
                                                         return true;
                                                     });
    // a.xml, deep.xml, Home.xml, includes.xml, more.xml, in name order.
    EXPECT_EQ((std::vector<std::wstring>{L"a.xml", L"deep.xml", L"Home.xml", L"includes.xml", L"more.xml", L""}), told);
    EXPECT_EQ(5u, report.files);
    EXPECT_EQ(8u, report.references);  // 1 + 1 + 4 + 1 + 1
    std::vector<std::wstring> lines;
    for (const Finding& f : report.missing) lines.push_back(FindingLine(f));
    EXPECT_EQ(
        (std::vector<std::wstring>{L"a.xml (1): include file no.xml", L"Home.xml (5): texture buttons/missing.png",
                                   L"Home.xml (6): include Absent"}),
        lines);
    EXPECT_EQ(std::wstring(kWindows) + L"\\Home.xml", report.missing[1].path);
    EXPECT_EQ(L"Checked 5 files: 8 references, 3 missing.", SummaryLine(report));

    const SkinCheckReport stopped =
        CheckWindowFolder(kWindows, fs, files.reader(), index, rules,
                          [](std::size_t done, std::size_t, const std::wstring&) { return done < 2; });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(2u, stopped.files);
}
