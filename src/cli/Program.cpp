#include "cli/Program.h"

#include "cli/CheckCommand.h"
#include "cli/LanguageServer.h"
#include "cli/OrtTool.h"
#include "cli/RenderCommand.h"

namespace cli {

int runProgram(const std::vector<std::wstring>& args, Console& console, ProtocolStreams& streams) {
    if (!args.empty() && args.front() == L"lsp")
        return runLanguageServer(std::vector<std::wstring>(args.begin() + 1, args.end()), console, streams);
    if (!args.empty() && args.front() == L"check")
        return runCheck(std::vector<std::wstring>(args.begin() + 1, args.end()), console);
    if (!args.empty() && args.front() == L"render")
        return runRender(std::vector<std::wstring>(args.begin() + 1, args.end()), console);
    return runOrtTool(args, console);
}

}  // namespace cli
