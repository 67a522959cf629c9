// Cost of following the caret through large window files: every caret move
// of a walk through a 5,000-line and a 50,000-line file, timed one by one.
// The files hold buttons with a self-closing child, groups of controls, blank
// lines and comments between controls, as hand-written skins do.
//
// Reported apart: finding the control under the caret alone; the moves that
// load a control (find, read, scratch file, parse, catalogue); the moves that
// stay within a loaded control; and the moves onto lines between controls,
// where the search has to go up to the window's own element to be sure no
// control encloses the line. Exits with failure when a median exceeds its
// budget (100 us for 5,000 lines, 1 ms for 50,000).
#include "controls/CaretTracker.h"
#include "base/TextCodec.h"
#include "unit/controls/ControlBlockTestDocument.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

class CountingPanel : public controls::CaretPanel {
public:
    bool panelShown() const override { return true; }
    ControlCatalogue& catalogue() override { return catalogue_; }
    void showControlType(const std::wstring&) override { ++loads; }
    void showStatus(const std::wstring&) override {}
    int loads = 0;

private:
    ControlCatalogue catalogue_;
};

std::string windowFile(int lines) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<window id=\"1\">\n\t<controls>\n";
    static const char* const children[] = {"<description>Entry</description>",
                                           "<posx>60</posx>",
                                           "<posy>200</posy>",
                                           "<width>240</width>",
                                           "<height>48</height>",
                                           "<texturefocus>buttons/focus.png</texturefocus>",
                                           "<hitrect x=\"0\" y=\"0\" w=\"9\" h=\"9\"/>",
                                           "<texturenofocus>buttons/nofocus.png</texturenofocus>",
                                           "<label>Videos</label>",
                                           "<font>font13</font>",
                                           "<onclick>ActivateWindow(Videos)</onclick>",
                                           "<onup>9000</onup>",
                                           "<ondown>9002</ondown>"};
    int line = 3;
    int c = 0;
    bool inGroup = false;
    while (line < lines - 4) {
        const std::string indent = inGroup ? "\t\t\t" : "\t\t";
        if (c % 25 == 0 && !inGroup) {
            text += "\t\t<control type=\"group\" id=\"" + std::to_string(100 + c) + "\">\n\t\t\t<posx>10</posx>\n";
            line += 2;
            inGroup = true;
            continue;
        }
        text += indent + "<control type=\"button\" id=\"" + std::to_string(9000 + c) + "\">\n";
        for (int i = 0; i < 11; ++i) text += indent + "\t" + children[(c + i) % 13] + "\n";
        text += indent + "</control>\n";
        line += 13;
        ++c;
        if (inGroup && c % 25 == 5) {
            text += "\t\t</control>\n";
            ++line;
            inGroup = false;
        }
        if (!inGroup && c % 5 == 0) {
            text += "\n";
            ++line;
        }
        if (!inGroup && c % 10 == 0) {
            text += "\t\t<!-- the next row of buttons -->\n";
            ++line;
        }
    }
    if (inGroup) text += "\t\t</control>\n";
    text += "\t</controls>\n</window>\n";
    return text;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}
double median(const std::vector<double>& v) { return percentile(v, 0.5); }

void report(const char* what, const std::vector<double>& us) {
    std::printf("  %-44s median %8.1f us   90th %8.1f us   max %8.1f us   (%zu moves)\n", what, median(us),
                percentile(us, 0.9), percentile(us, 1.0), us.size());
}

template <typename F>
double timed(F&& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::micro>(t1 - t0).count();
}

// Returns the median of all caret moves.
double walk(int lineCount, const std::filesystem::path& scratch) {
    const std::string text = windowFile(lineCount);
    controls::fakes::TextDocument doc(text);
    const controls::Position lines = doc.lineCount();
    std::printf("%td lines, %zu bytes\n", lines, text.size());

    std::vector<double> finds;
    std::vector<double> outsideFinds;
    std::vector<controls::Position> outsideLines;
    for (controls::Position line = 0; line < lines; ++line) {
        controls::ControlBlock block;
        const double us = timed([&] { block = controls::findControl(doc, line); });
        if (block.found()) {
            finds.push_back(us);
        } else {
            outsideFinds.push_back(us);
            outsideLines.push_back(line);
        }
    }
    report("find the control under the caret", finds);
    report("find no control, knowing nothing", outsideFinds);
    // The same lines bottom up with what earlier searches learnt: the first
    // reads up to the window's element, the others up to the last one.
    controls::ControlFinder finder;
    std::vector<double> remembered;
    for (auto line = outsideLines.rbegin(); line != outsideLines.rend(); ++line) {
        remembered.push_back(timed([&] { finder.find(doc, *line); }));
    }
    report("find no control, remembering (bottom up)", remembered);

    CountingPanel panel;
    controls::CaretTracker tracker(panel, doc);
    tracker.setScratchFolder(text::fromUtf8(scratch.string()));
    std::vector<double> moves;
    std::vector<double> loads;
    std::vector<double> within;
    for (int pass = 0; pass < 2; ++pass) {
        tracker.bufferActivated();
        for (controls::Position line = 1; line < lines; ++line) {
            doc.setCaretLine(line);
            const int before = panel.loads;
            const double us = timed([&] { tracker.checkCaret(); });
            moves.push_back(us);
            (panel.loads != before ? loads : within).push_back(us);
        }
    }
    report("caret move, all", moves);
    report("caret move that loads a control", loads);
    report("caret move within or between controls", within);
    return median(moves);
}

}  // namespace

int main() {
    const char* dir = std::getenv("BENCH_DIR");
    const std::filesystem::path scratch = (dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path()) /
                                          ("bench_caret_" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch);
    const double small = walk(5000, scratch);
    const double large = walk(50000, scratch);
    std::filesystem::remove_all(scratch);
    const bool ok = small < 100.0 && large < 1000.0;
    std::printf("median caret move: %.1f us (5,000 lines, budget 100), %.1f us (50,000 lines, budget 1000): %s\n",
                small, large, ok ? "within budget" : "OVER BUDGET");
    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
