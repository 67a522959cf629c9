// The expanded windows of the made skin of a large one's size (100 window
// files, includes with parameters two include files deep): expanding every
// window, the outline of one, Go to definition on a control id, and the
// model's memory with its expanded windows against the memory without them
// (counted by the allocations this program makes; reported as counters).
#include "skin/ControlIds.h"
#include "skin/WindowOutline.h"
#include "unit/skin/MadeSkin.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long long> liveBytes{0};

MadeSkin& made() {
    static MadeSkin skin;
    return skin;
}

const std::wstring& window50() {
    static const std::wstring path = std::wstring(MadeSkin::windowFolder()) + L"\\Window50.xml";
    return path;
}

std::vector<const skin::SkinFile*> filesOf(const skin::SkinModel& model, skin::FileRole role) {
    std::vector<const skin::SkinFile*> out;
    for (const auto& f : model.files()) {
        if (f->role == role) out.push_back(f.get());
    }
    return out;
}

void BM_ExpandEveryWindow(benchmark::State& state) {
    auto model = made().model();
    model->refresh(MadeSkin::windowFolder());
    const auto includes = filesOf(*model, skin::FileRole::Includes);
    const auto windows = filesOf(*model, skin::FileRole::Window);
    for (auto _ : state) {
        skin::IncludeLibrary library;
        library.build(includes);
        std::size_t controls = 0;
        for (const skin::SkinFile* w : windows) controls += skin::ExpandWindow(*w, library)->controls().size();
        benchmark::DoNotOptimize(controls);
    }
    state.counters["windows"] = static_cast<double>(windows.size());
}
BENCHMARK(BM_ExpandEveryWindow)->Unit(benchmark::kMillisecond);

void BM_OutlineOfOneWindow(benchmark::State& state) {
    auto model = made().model();
    model->refresh(MadeSkin::windowFolder());
    const skin::ExpandedWindow* window = model->expandedWindow(window50());
    for (auto _ : state) benchmark::DoNotOptimize(skin::BuildWindowOutline(*window).size());
    state.counters["controls"] = static_cast<double>(window->controls().size());
}
BENCHMARK(BM_OutlineOfOneWindow)->Unit(benchmark::kMicrosecond);

void BM_GoToDefinitionOnAControlId(benchmark::State& state) {
    auto model = made().model();
    model->refresh(MadeSkin::windowFolder());
    const skin::SkinFile* file = model->file(window50());
    const std::size_t at = file->text.find("Control.HasFocus(") + 17;
    const auto line = static_cast<std::uint32_t>(
        std::upper_bound(file->lineStarts.begin(), file->lineStarts.end(), at) - file->lineStarts.begin());
    const auto column = static_cast<std::uint32_t>(at - file->lineStarts[line - 1]);
    for (auto _ : state) {
        const skin::ControlIdSite site = skin::ControlIdAt(*model, window50(), line, column);
        benchmark::DoNotOptimize(skin::ControlIdDefinitions(site).size());
    }
}
BENCHMARK(BM_GoToDefinitionOnAControlId)->Unit(benchmark::kMicrosecond);

// The model's bytes with its expanded windows, and those of the expanded
// windows alone (built again beside it): the model without them is the difference.
void BM_ModelMemoryWithExpandedWindows(benchmark::State& state) {
    for (auto _ : state) {
        const long long before = liveBytes.load();
        auto model = made().model();
        model->refresh(MadeSkin::windowFolder());
        const long long withWindows = liveBytes.load() - before;
        const long long beforeWindows = liveBytes.load();
        {
            skin::IncludeLibrary library;
            library.build(filesOf(*model, skin::FileRole::Includes));
            std::vector<std::unique_ptr<skin::ExpandedWindow>> windows;
            for (const skin::SkinFile* w : filesOf(*model, skin::FileRole::Window))
                windows.push_back(skin::ExpandWindow(*w, library));
            const long long windowsAlone = liveBytes.load() - beforeWindows;
            const double without = static_cast<double>(withWindows - windowsAlone);
            state.counters["model_MB"] = static_cast<double>(withWindows) / 1e6;
            state.counters["without_windows_MB"] = without / 1e6;
            state.counters["ratio"] = static_cast<double>(withWindows) / without;
        }
    }
}
BENCHMARK(BM_ModelMemoryWithExpandedWindows)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

// Every allocation of this program counted, by the size the allocator gave
// (no header of our own: a block may be freed by code that bypasses these).
void* operator new(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    liveBytes += static_cast<long long>(::malloc_usable_size(block));
    return block;
}
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    liveBytes -= static_cast<long long>(::malloc_usable_size(p));
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

BENCHMARK_MAIN();
