// Cost of following the caret through a large window file: every caret move
// of a walk through 5,000 lines holding 400 controls, timed one by one. The
// moves that load a block (scan, cut, scratch file, parse, catalogue) are
// reported apart from those that only scan, and the loads near the top of the
// file apart from those near its end.
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

std::string windowFile(int controls, int lines) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<window id=\"1\">\n\t<controls>\n";
    const int body = lines - 5;  // the lines around the controls
    for (int c = 0; c < controls; ++c) {
        const int perControl = body * (c + 1) / controls - body * c / controls;  // start and end tags included
        text += "\t\t<control type=\"button\" id=\"" + std::to_string(9000 + c) + "\">\n";
        static const char* const children[] = {
            "<description>Entry</description>", "<posx>60</posx>", "<posy>200</posy>", "<width>240</width>",
            "<height>48</height>", "<texturefocus>buttons/focus.png</texturefocus>",
            "<texturenofocus>buttons/nofocus.png</texturenofocus>", "<label>Videos</label>", "<font>font13</font>",
            "<onclick>ActivateWindow(Videos)</onclick>", "<onup>9000</onup>", "<ondown>9002</ondown>"};
        for (int i = 0; i < perControl - 2; ++i) text += std::string("\t\t\t") + children[i % 12] + "\n";
        text += "\t\t</control>\n";
    }
    text += "\t</controls>\n</window>\n";
    return text;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}
double median(const std::vector<double>& v) { return percentile(v, 0.5); }

}  // namespace

int main() {
    const std::string text = windowFile(400, 5000);
    controls::fakes::TextDocument doc(text);
    CountingPanel panel;
    controls::CaretTracker tracker(panel, doc);
    const std::filesystem::path scratch = (std::getenv("BENCH_DIR") ? std::filesystem::path(std::getenv("BENCH_DIR")) : std::filesystem::temp_directory_path()) / ("bench_caret_" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch);
    tracker.setScratchFolder(text::fromUtf8(scratch.string()));

    const controls::Position lines = doc.lineCount();
    std::vector<double> loads, scans, early, late;
    for (int pass = 0; pass < 3; ++pass) {
        tracker.bufferActivated();
        for (controls::Position line = 1; line < lines; ++line) {
            doc.setCaretLine(line);
            const int before = panel.loads;
            const auto t0 = std::chrono::steady_clock::now();
            tracker.checkCaret();
            const auto t1 = std::chrono::steady_clock::now();
            const double us = std::chrono::duration<double, std::micro>(t1 - t0).count();
            if (panel.loads != before) {
                loads.push_back(us);
                if (line < lines / 10) early.push_back(us);
                if (line > lines - lines / 10) late.push_back(us);
            } else {
                scans.push_back(us);
            }
        }
    }
    std::filesystem::remove_all(scratch);

    std::printf("lines %td, controls loaded per pass %zu\n", lines, loads.size() / 3);
    std::printf("caret move that loads a block: median %.1f us, 90th percentile %.1f us, max %.1f us\n",
                median(loads), percentile(loads, 0.9), percentile(loads, 1.0));
    std::printf("  blocks in the first tenth: median %.1f us; in the last tenth: median %.1f us\n", median(early),
                median(late));
    std::printf("caret move within a loaded block: median %.1f us\n", median(scans));
    return median(loads) < 1000.0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
