// The protocol's base layer: each message is a header block ("Name: value"
// lines, one of them Content-Length, ended by an empty line) and then that
// many bytes of JSON. The reader pulls bytes from an input, never reads past
// a message's end (so it can serve a live pipe), keeps its memory bounded
// whatever arrives, and finds its way back to the next header after junk.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace lsp {

// Where the messages' bytes come from.
class ByteInput {
public:
    virtual ~ByteInput() = default;
    // One byte; false at the input's end.
    virtual bool readByte(char& byte) = 0;
    // Up to `count` bytes into `into`; fewer only at the input's end.
    virtual std::size_t readBytes(char* into, std::size_t count) = 0;
};

// Bytes of a C stream (standard input, opened in binary mode on Windows).
class StreamInput : public ByteInput {
public:
    explicit StreamInput(std::FILE* stream) : stream_(stream) {}
    bool readByte(char& byte) override;
    std::size_t readBytes(char* into, std::size_t count) override;

private:
    std::FILE* stream_;
};

// Bytes held in memory (tests and fuzzing).
class MemoryInput : public ByteInput {
public:
    explicit MemoryInput(std::string_view bytes) : bytes_(bytes) {}
    bool readByte(char& byte) override;
    std::size_t readBytes(char* into, std::size_t count) override;

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

struct ReadResult {
    enum class Kind {
        kMessage,    // `body` holds one message's content
        kMalformed,  // a header block without a usable length, or a body too large: `problem` says which
        kEnd,        // the input ended (possibly in the middle of a message)
    };
    Kind kind = Kind::kEnd;
    std::string body;
    std::string problem;
};

class MessageReader {
public:
    // Longest header line, most header lines, and largest body accepted.
    static constexpr std::size_t kMaxHeaderLine = 1024;
    static constexpr std::size_t kMaxHeaderLines = 32;
    static constexpr std::size_t kMaxBody = 64u << 20;

    explicit MessageReader(ByteInput& input) : input_(input) {}

    // The next message. Header lines that are not "Name: value" are skipped
    // (then the message is reported malformed first, and read on the next
    // call); a body over kMaxBody is read past and reported malformed.
    ReadResult next();

private:
    enum class Line { kText, kTooLong, kEnd };
    Line readLine(std::string& line);

    ByteInput& input_;
    std::string pendingBody_;
    bool hasPending_ = false;
};

// A message's content with its header, ready to write.
std::string framed(std::string_view body);

}  // namespace lsp
