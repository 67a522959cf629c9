// quorrel on POSIX systems: arguments and output as UTF-8.
#include <unistd.h>

#include <cstdio>
#include <exception>

#include "base/TextCodec.h"
#include "cli/Program.h"

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

// The protocol gets standard output's descriptor to itself: descriptor 1 then
// points at standard error, so that nothing else reaches the client.
class StandardStreams : public cli::ProtocolStreams {
public:
    std::FILE* input() override { return stdin; }
    std::FILE* takeOutput() override {
        std::fflush(stdout);
        const int own = ::dup(STDOUT_FILENO);
        if (own < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return nullptr;
        return ::fdopen(own, "wb");
    }
};

}  // namespace

int main(int argc, char** argv) {
    try {
        std::vector<std::wstring> args;
        for (int i = 1; i < argc; ++i) args.push_back(text::fromUtf8(argv[i]));
        Utf8Console console;
        StandardStreams streams;
        const int status = cli::runProgram(args, console, streams);
        return std::fflush(stdout) == 0 ? status : cli::kFailed;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorrel: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "quorrel: unexpected failure\n");
    }
    return cli::kFailed;
}
