// `quorrel lsp`: the language server on standard input and output.
//
//   quorrel lsp [--core-strings FILE] [--core-colours FILE] [--stdio]
//
// --core-strings names the media center's own English strings file, for
// string ids outside the skin's own, and --core-colours its own colours file;
// --stdio, which editors' clients add by habit, changes nothing.
#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"

namespace cli {

// `options` are the arguments after "lsp".
int runLanguageServer(const std::vector<std::wstring>& options, Console& console, ProtocolStreams& streams);

}  // namespace cli
