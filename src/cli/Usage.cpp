#include "cli/Usage.h"

namespace cli {
namespace {

constexpr const wchar_t* kUsageLines[] = {
    L"usage: quorrel list BUNDLE",
    L"       quorrel extract [--overwrite] BUNDLE FOLDER",
    L"       quorrel pack [--strict] FOLDER BUNDLE",
    L"       quorrel verify BUNDLE",
    L"       quorrel check [--format text|sarif|github] [--core-strings FILE] [--core-colours FILE]",
    L"                     [--disable RULE,...] SKIN_OR_WINDOW_FOLDER",
    L"       quorrel lsp [--core-strings FILE] [--core-colours FILE]",
    L"       quorrel render [--size WxH] WINDOW_FILE OUT.png",
};

}  // namespace

int usage(Console& console, const std::wstring& problem) {
    if (!problem.empty()) console.err(L"quorrel: " + problem);
    for (const wchar_t* line : kUsageLines) console.err(line);
    return kUsage;
}

void help(Console& console) {
    for (const wchar_t* line : kUsageLines) console.out(line);
}

}  // namespace cli
