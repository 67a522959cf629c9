// What the quorrel command line's commands write to, and their exit status.
#pragma once

#include <cstdio>
#include <string>

namespace cli {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// Where the program's lines go, without their line ends.
class Console {
public:
    virtual ~Console() = default;
    virtual void out(const std::wstring& line) = 0;
    virtual void err(const std::wstring& line) = 0;
};

// Standard input and output for a command that speaks a protocol on them:
// both in binary mode, and the output kept for the protocol alone (whatever
// else the process writes to standard output goes to standard error).
class ProtocolStreams {
public:
    virtual ~ProtocolStreams() = default;
    virtual std::FILE* input() = 0;
    // Called once, before anything is written to either.
    virtual std::FILE* takeOutput() = 0;
};

}  // namespace cli
