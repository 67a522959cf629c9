// The skin check on a made skin of a large real one's size (100 window
// files, 2,000 controls, 130 includes, 110 variables, a 700-entry bundle):
// the whole check, with and without reading the skin into its model, and
// the marks of one document after a one-line edit (its unsaved text given to
// the model, the model brought up to date, the document checked).
#include "skin/SkinCheck.h"
#include "unit/skin/MadeSkin.h"

#include <benchmark/benchmark.h>

namespace {

MadeSkin& made() {
    static MadeSkin skin;
    return skin;
}

void BM_SkinCheckWhole(benchmark::State& state) {
    auto model = made().model();
    model->refresh(MadeSkin::windowFolder());
    skin::SkinChecker checker;
    for (auto _ : state) benchmark::DoNotOptimize(checker.checkSkin(*model).findings.size());
}
BENCHMARK(BM_SkinCheckWhole)->Unit(benchmark::kMillisecond);

void BM_SkinCheckWholeWithModel(benchmark::State& state) {
    for (auto _ : state) {
        auto model = made().model();
        model->refresh(MadeSkin::windowFolder());
        skin::SkinChecker checker;
        benchmark::DoNotOptimize(checker.checkSkin(*model).findings.size());
    }
}
BENCHMARK(BM_SkinCheckWholeWithModel)->Unit(benchmark::kMillisecond);

void BM_SkinCheckMarksAfterOneLineEdit(benchmark::State& state) {
    auto model = made().model();
    model->refresh(MadeSkin::windowFolder());
    skin::SkinChecker checker;
    const std::wstring path = std::wstring(MadeSkin::windowFolder()) + L"\\Window50.xml";
    std::string text = made().text(path);
    const std::size_t at = text.find("<posy>40</posy>");
    int n = 0;
    for (auto _ : state) {
        text.replace(at + 6, 2, std::to_string(10 + (++n % 90)));
        model->setOverlay(path, text);
        model->refresh(MadeSkin::windowFolder());
        benchmark::DoNotOptimize(checker.checkFile(*model, path).size());
    }
}
BENCHMARK(BM_SkinCheckMarksAfterOneLineEdit)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
