// quorrel-ort on POSIX systems: arguments and output as UTF-8.
#include <cstdio>
#include <exception>

#include "base/TextCodec.h"
#include "cli/OrtTool.h"

namespace {

class Utf8Console : public cli::Console {
public:
    void out(const std::wstring& line) override { write(stdout, line); }
    void err(const std::wstring& line) override { write(stderr, line); }

private:
    static void write(std::FILE* stream, const std::wstring& line) {
        const std::string bytes = text::toUtf8(line) + "\n";
        std::fwrite(bytes.data(), 1, bytes.size(), stream);
    }
};

}  // namespace

int main(int argc, char** argv) {
    try {
        std::vector<std::wstring> args;
        for (int i = 1; i < argc; ++i) args.push_back(text::fromUtf8(argv[i]));
        Utf8Console console;
        const int status = cli::runOrtTool(args, console);
        return std::fflush(stdout) == 0 ? status : cli::kFailed;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorrel-ort: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "quorrel-ort: unexpected failure\n");
    }
    return cli::kFailed;
}
