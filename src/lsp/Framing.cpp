#include "lsp/Framing.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>

namespace lsp {
namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool sameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// A header name is a token: printable ASCII without separators.
bool headerName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return c > ' ' && c < 0x7F && std::strchr("()<>@,;:\\\"/[]?={}", c) == nullptr;
    });
}

// Decimal digits only, and not beyond what size_t holds.
std::optional<std::size_t> length(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    std::size_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        const std::size_t digit = static_cast<std::size_t>(c - '0');
        if (value > (static_cast<std::size_t>(-1) - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace

bool StreamInput::readByte(char& byte) {
    const int c = std::fgetc(stream_);
    if (c == EOF) return false;
    byte = static_cast<char>(c);
    return true;
}

std::size_t StreamInput::readBytes(char* into, std::size_t count) { return std::fread(into, 1, count, stream_); }

bool MemoryInput::readByte(char& byte) {
    if (at_ >= bytes_.size()) return false;
    byte = bytes_[at_++];
    return true;
}

std::size_t MemoryInput::readBytes(char* into, std::size_t count) {
    const std::size_t taken = std::min(count, bytes_.size() - at_);
    std::memcpy(into, bytes_.data() + at_, taken);
    at_ += taken;
    return taken;
}

MessageReader::Line MessageReader::readLine(std::string& line) {
    line.clear();
    bool tooLong = false;
    char byte = 0;
    while (input_.readByte(byte)) {
        if (byte == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return tooLong ? Line::kTooLong : Line::kText;
        }
        if (line.size() < kMaxHeaderLine) {
            line.push_back(byte);
        } else {
            tooLong = true;
        }
    }
    return Line::kEnd;
}

ReadResult MessageReader::next() {
    ReadResult result;
    if (hasPending_) {
        hasPending_ = false;
        result.kind = ReadResult::Kind::kMessage;
        result.body.swap(pendingBody_);
        return result;
    }
    std::optional<std::size_t> contentLength;
    std::string problem;
    std::size_t lines = 0;
    std::string line;
    for (;;) {
        const Line read = readLine(line);
        if (read == Line::kEnd) return result;
        if (read == Line::kTooLong) {
            problem = "a header line longer than " + std::to_string(kMaxHeaderLine) + " bytes";
            continue;
        }
        if (line.empty()) {
            // Blank lines before any header are left over from earlier junk.
            if (lines == 0 && problem.empty()) continue;
            break;
        }
        if (++lines > kMaxHeaderLines) {
            problem = "more than " + std::to_string(kMaxHeaderLines) + " header lines";
            continue;
        }
        const std::size_t colon = line.find(':');
        const std::string_view name =
            colon == std::string::npos ? std::string_view() : trimmed(std::string_view(line).substr(0, colon));
        if (!headerName(name)) {
            problem = "not a header line";
            continue;
        }
        if (sameLetters(name, "Content-Length")) {
            contentLength = length(trimmed(std::string_view(line).substr(colon + 1)));
            if (!contentLength) problem = "Content-Length is not a number";
        }
    }
    if (!contentLength) {
        result.kind = ReadResult::Kind::kMalformed;
        result.problem = problem.empty() ? "a header without Content-Length" : problem;
        return result;
    }
    if (*contentLength > kMaxBody) {
        // Read past it in pieces, so that the next header is found.
        char scrap[4096];
        for (std::size_t left = *contentLength; left > 0;) {
            const std::size_t got = input_.readBytes(scrap, std::min(left, sizeof scrap));
            if (got == 0) break;
            left -= got;
        }
        result.kind = ReadResult::Kind::kMalformed;
        result.problem = "a message of " + std::to_string(*contentLength) + " bytes, more than the " +
                         std::to_string(kMaxBody) + " accepted";
        return result;
    }
    std::string body(*contentLength, '\0');
    const std::size_t got = body.empty() ? 0 : input_.readBytes(body.data(), body.size());
    if (got < body.size()) return result;  // the input ended inside the body
    if (!problem.empty()) {
        pendingBody_.swap(body);
        hasPending_ = true;
        result.kind = ReadResult::Kind::kMalformed;
        result.problem = problem;
        return result;
    }
    result.kind = ReadResult::Kind::kMessage;
    result.body.swap(body);
    return result;
}

std::string framed(std::string_view body) {
    std::string message = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    message.append(body);
    return message;
}

}  // namespace lsp
