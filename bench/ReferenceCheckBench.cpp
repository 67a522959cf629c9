// Checking a skin's references: one edited line of a 2,000-line window file
// checked again (goal: under 2 ms), and a whole skin of 100 window files with
// 2,000 controls, a 700-entry bundle and loose media checked from scratch on
// disk (goal: under 0.5 s).
#include "skin/ReferenceCheck.h"
#include "skin/SkinIndex.h"

#include "OrtWriter.h"
#include "base/TextCodec.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::vector<std::wstring> kImageElements = {L"texture", L"texturefocus", L"texturenofocus", L"bordertexture"};

// The skin's paths keep Windows separators; on this file system they map to
// the same tree with '/'.
std::string onDisk(const std::wstring& path) {
    std::string p = text::toUtf8(path);
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    return p;
}

bool matches(const std::string& mask, const std::string& name) {
    if (mask == "*" || mask == "*.*") return true;
    if (mask.size() > 1 && mask[0] == '*') {
        const std::string tail = mask.substr(1);
        if (name.size() < tail.size()) return false;
        for (std::size_t i = 0; i < tail.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(name[name.size() - tail.size() + i])) !=
                std::tolower(static_cast<unsigned char>(tail[i])))
                return false;
        }
        return true;
    }
    return mask == name;
}

class DiskLister : public DirectoryLister {
public:
    bool list(const std::wstring& pattern, std::vector<DirItem>& out) override {
        out.clear();
        const std::size_t slash = pattern.rfind(L'\\');
        const std::string folder = onDisk(pattern.substr(0, slash));
        const std::string mask = text::toUtf8(pattern.substr(slash + 1));
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            const std::string name = entry.path().filename().string();
            if (!matches(mask, name)) continue;
            out.push_back(DirItem{text::fromUtf8(name), entry.is_directory(), false});
        }
        return !error && !out.empty();
    }
    FileStamp stamp(const std::wstring& path) override {
        std::error_code error;
        const fs::path p = onDisk(path);
        const fs::file_status status = fs::status(p, error);
        if (error || !fs::exists(status)) return FileStamp{};
        FileStamp s;
        s.exists = true;
        s.isFolder = fs::is_directory(status);
        s.size = s.isFolder ? 0 : fs::file_size(p, error);
        s.writeTime = static_cast<std::uint64_t>(fs::last_write_time(p, error).time_since_epoch().count());
        return s;
    }
};

bool readDisk(const std::wstring& path, std::string& bytes) {
    std::ifstream in(onDisk(path), std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool readBundleOnDisk(const std::wstring& path, std::vector<std::string>& names) {
    return skin::ReadBundleNames(text::fromUtf8(onDisk(path)), names);
}

std::string textureName(int i) { return "skin/part" + std::to_string(i % 40) + "/image" + std::to_string(i) + ".png"; }

// A window file of `controls` controls; about one texture in fifty is missing.
std::string windowFile(int controls, int seed) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<window id=\"1\">\n\t<include>Common</include>\n\t<controls>\n";
    for (int c = 0; c < controls; ++c) {
        const int n = seed * 131 + c * 7;
        text += "\t\t<control type=\"button\" id=\"" + std::to_string(9000 + c) +
                "\">\n"
                "\t\t\t<posx>60</posx>\n\t\t\t<posy>200</posy>\n\t\t\t<width>240</width>\n\t\t\t<height>48</height>\n"
                "\t\t\t<texturefocus>" +
                textureName(n % 700) +
                "</texturefocus>\n"
                "\t\t\t<texturenofocus>" +
                (n % 50 == 0 ? std::string("missing/x.png") : "loose/file" + std::to_string(n % 60) + ".png") +
                "</texturenofocus>\n"
                "\t\t\t<label>$INFO[ListItem.Label]</label>\n\t\t\t<font>font13</font>\n"
                "\t\t\t<include content=\"Button" +
                std::to_string(n % 30) +
                "\"/>\n"
                "\t\t\t<onclick>ActivateWindow(Videos)</onclick>\n\t\t</control>\n";
    }
    text += "\t</controls>\n</window>\n";
    return text;
}

class TempSkin {
public:
    TempSkin() {
        char pattern[] = "/tmp/refs-bench-XXXXXX";
        root_ = ::mkdtemp(pattern);
        fs::create_directories(root_ + "/skin/720p");
        fs::create_directories(root_ + "/skin/media/loose");
        for (int i = 0; i < 60; ++i)
            std::ofstream(root_ + "/skin/media/loose/file" + std::to_string(i) + ".png") << "x";
        ortwriter::BundleSpec spec;
        for (int i = 0; i < 700; ++i) {
            ortwriter::EntrySpec entry;
            entry.path = textureName(i);
            entry.frames.push_back(ortwriter::frame(ortwriter::kBgra32, 1, 1,
                                                    ortwriter::patternPixels(ortwriter::kBgra32, 1, 1, 1), false));
            spec.entries.push_back(entry);
        }
        ortwriter::writeFile(root_ + "/skin/media/textures.ort", ortwriter::build(spec));
        std::string includes = "<includes>\n";
        for (int i = 0; i < 30; ++i)
            includes += "\t<include name=\"Button" + std::to_string(i) + "\"><posx>1</posx></include>\n";
        includes += "\t<include file=\"more.xml\"/>\n</includes>\n";
        std::ofstream(root_ + "/skin/720p/includes.xml") << includes;
        std::ofstream(root_ + "/skin/720p/more.xml") << "<includes><include name=\"Common\"/></includes>\n";
        for (int f = 0; f < 98; ++f)
            std::ofstream(root_ + "/skin/720p/Window" + std::to_string(f) + ".xml") << windowFile(20, f);
    }
    ~TempSkin() { fs::remove_all(root_); }
    std::wstring windowFolder() const {
        std::wstring w = text::fromUtf8(root_ + "/skin/720p");
        for (wchar_t& c : w) {
            if (c == L'/') c = L'\\';
        }
        return w;
    }

private:
    std::string root_;
};

}  // namespace

static void BM_OneLineEditInA2000LineFile(benchmark::State& state) {
    TempSkin skinOnDisk;
    DiskLister lister;
    skin::SkinIndex index(lister, readDisk, readBundleOnDisk);
    index.refresh(skinOnDisk.windowFolder());
    const skin::ReferenceRules rules(kImageElements);

    std::string text = windowFile(166, 1);  // 2,000 lines or so
    skin::TextLines original(text);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < original.lineCount(); ++i) lines.push_back(original.line(i));
    struct Lines : skin::LineSource {
        std::vector<std::string>* lines;
        std::size_t lineCount() const override { return lines->size(); }
        std::string line(std::size_t i) const override { return (*lines)[i]; }
    } source;
    source.lines = &lines;
    skin::DocumentCheck check(rules);
    check.checkAll(source, index);
    state.counters["lines"] = static_cast<double>(lines.size());

    const std::size_t edited = lines.size() / 2 + 3;  // a texture line in the middle
    const std::string before = lines[edited];
    std::size_t n = 0;
    for (auto _ : state) {
        lines[edited] = (++n % 2) ? before + " " : before;
        check.linesReplaced(edited, 1, 1);
        benchmark::DoNotOptimize(check.recheck(source, index));
    }
}
BENCHMARK(BM_OneLineEditInA2000LineFile)->Unit(benchmark::kMicrosecond);

static void BM_WholeSkinCheck(benchmark::State& state) {
    TempSkin skinOnDisk;
    const skin::ReferenceRules rules(kImageElements);
    skin::SkinCheckReport report;
    for (auto _ : state) {
        DiskLister lister;
        skin::SkinIndex index(lister, readDisk, readBundleOnDisk);
        report = skin::CheckWindowFolder(skinOnDisk.windowFolder(), lister, readDisk, index, rules, nullptr);
    }
    state.counters["files"] = static_cast<double>(report.files);
    state.counters["references"] = static_cast<double>(report.references);
    state.counters["missing"] = static_cast<double>(report.missing.size());
}
BENCHMARK(BM_WholeSkinCheck)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
