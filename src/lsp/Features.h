// What the protocol asks of the language behind it, in the protocol's own
// terms (URIs, UTF-16 positions) but free of JSON and of the wire: the server
// turns requests into these calls and their answers into responses, so the
// protocol can be tested with a stand-in and the skin's features without the
// protocol.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "lsp/Documents.h"
#include "lsp/Positions.h"

namespace lsp {

struct Location {
    std::string uri;
    Range range;
};

struct Hover {
    std::string markdown;
    std::optional<Range> range;  // the name the text is about
};

// A name offered where the caret is: `edit` replaces the partial name.
struct CompletionItem {
    std::string label;
    std::string detail;
    int kind = 1;            // the protocol's CompletionItemKind
    std::string filterText;  // when the label itself does not hold what was typed
    Range edit;
    std::string newText;
};

// A part of a document's outline (the protocol's DocumentSymbol).
struct DocumentSymbol {
    std::string name;
    std::string detail;
    int kind = 19;  // the protocol's SymbolKind (19: object)
    Range range;
    Range selectionRange;
    std::vector<DocumentSymbol> children;
};

enum class MessageType { kError = 1, kWarning = 2, kInfo = 3, kLog = 4 };

// A finding of the skin check in a document; `code` is the rule's id.
struct Diagnostic {
    Range range;
    int severity = 1;  // 1 error, 2 warning
    std::string code;
    std::string message;
};

// What the features may send the client, at any time and from any thread.
class Client {
public:
    virtual ~Client() = default;
    virtual void logMessage(MessageType type, const std::string& message) = 0;
    // A document's findings, in place of those published before.
    virtual void publishDiagnostics(const std::string& uri, const std::vector<Diagnostic>& diagnostics) {
        (void)uri;
        (void)diagnostics;
    }
};

class Features {
public:
    virtual ~Features() = default;

    // On initialized: the workspace's root that initialize named (rootUri,
    // else the first workspace folder), if any.
    virtual void workspace(const std::optional<std::string>& rootUri, Client& client) = 0;

    virtual void opened(const TextDocument& document, Client& client) = 0;
    virtual void changed(const TextDocument& document, Client& client) = 0;
    virtual void saved(const TextDocument& document, Client& client) = 0;
    virtual void closed(const std::string& uri, Client& client) = 0;

    // `document` is the open document, or the file as it is on disk.
    virtual std::vector<Location> definition(const TextDocument& document, Position position) = 0;
    virtual std::vector<Location> references(const TextDocument& document, Position position,
                                             bool includeDeclaration) = 0;
    virtual std::optional<Hover> hover(const TextDocument& document, Position position) = 0;
    virtual std::vector<CompletionItem> completion(const TextDocument& /*document*/, Position /*position*/) {
        return {};
    }
    virtual std::vector<DocumentSymbol> documentSymbols(const TextDocument& /*document*/) { return {}; }
};

}  // namespace lsp
