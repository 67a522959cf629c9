// Runs the fuzzing entry over files and folders of inputs, without libFuzzer:
// the seed corpus and any saved crash inputs, in an ordinary build. Under
// AddressSanitizer an allocation larger than the fuzzers allow (1 GiB, their
// -rss_limit_mb) stops the replay as it stops them, so a saved greedy input
// keeps failing until it is mended.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

// The fuzzing target's own entry, linked in beside this file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, std::size_t),
                                                         void (*onFree)(const volatile void*)) __attribute__((weak));

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kLargestAllocation = std::size_t{1} << 30;

void refuseGreed(const volatile void*, std::size_t size) {
    if (size <= kLargestAllocation) return;
    std::fprintf(stderr, "an input asked for %zu bytes at once (at most %zu)\n", size, kLargestAllocation);
    std::abort();
}

void ignoreFree(const volatile void*) {}

}  // namespace

int main(int argc, char** argv) {
    if (__sanitizer_install_malloc_and_free_hooks != nullptr)
        __sanitizer_install_malloc_and_free_hooks(refuseGreed, ignoreFree);
    std::size_t inputs = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> files;
        if (fs::is_directory(argv[i])) {
            for (const auto& item : fs::directory_iterator(argv[i]))
                if (item.is_regular_file()) files.push_back(item.path());
        } else if (fs::exists(argv[i])) {
            files.emplace_back(argv[i]);
        }
        for (const fs::path& file : files) {
            std::ifstream in(file, std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            std::printf("%s\n", file.string().c_str());
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++inputs;
        }
    }
    std::printf("replayed %zu inputs\n", inputs);
    return inputs > 0 ? 0 : 1;
}
