// ortwriter: writes the sample skin's bundle or the fuzzing seed corpora.
//   ortwriter sample <out.ort>
//   ortwriter seeds <folder>
//   ortwriter image-seeds <folder>     (one sub-folder per kind of image file)
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "ImageFileWriter.h"
#include "OrtWriter.h"

int main(int argc, char** argv) {
    try {
        const std::string command = argc > 1 ? argv[1] : "";
        if (argc == 3 && command == "sample") {
            if (!ortwriter::writeFile(argv[2], ortwriter::build(ortwriter::sampleBundle()))) {
                std::fprintf(stderr, "ortwriter: cannot write %s\n", argv[2]);
                return 1;
            }
            return 0;
        }
        if (argc == 3 && command == "seeds") {
            for (const auto& [name, bytes] : ortwriter::seedBundles()) {
                const std::string path = std::string(argv[2]) + "/" + name;
                if (!ortwriter::writeFile(path, bytes)) {
                    std::fprintf(stderr, "ortwriter: cannot write %s\n", path.c_str());
                    return 1;
                }
            }
            return 0;
        }
        if (argc == 3 && command == "image-seeds") {
            for (const auto& [name, bytes] : ortwriter::imageSeeds()) {
                const std::filesystem::path path = std::filesystem::path(argv[2]) / name;
                std::filesystem::create_directories(path.parent_path());
                if (!ortwriter::writeFile(path.string(), bytes)) {
                    std::fprintf(stderr, "ortwriter: cannot write %s\n", path.string().c_str());
                    return 1;
                }
            }
            return 0;
        }
        std::fprintf(stderr,
                     "usage: ortwriter sample <out.ort> | ortwriter seeds <folder> | ortwriter image-seeds <folder>\n");
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ortwriter: %s\n", e.what());
        return 1;
    }
}
