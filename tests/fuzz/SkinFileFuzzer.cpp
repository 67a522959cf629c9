// libFuzzer target over the skin model's readers: any bytes as an include
// file, a font file, a colour file or a strings file (SKIN_FILE_ROLE picks
// which). Whatever the bytes, the reader ends, and every place it reports
// lies on a line of the text, its name inside that line; the controls it
// records lie in the text, and completion and hover read any text at any place.
#include "skin/Completion.h"
#include "skin/SkinModel.h"
#include "skin/VocabularyHover.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#ifndef SKIN_FILE_ROLE
#define SKIN_FILE_ROLE Includes
#endif

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "skin file reader: %s\n", what);
    std::abort();
}

void checkPlace(const skin::SkinFile& file, const skin::Location& at) {
    if (at.line == 0 || at.line > file.lineStarts.size()) fail("a line outside the text");
    const std::size_t begin = file.lineStarts[at.line - 1];
    const std::size_t end = at.line < file.lineStarts.size() ? file.lineStarts[at.line] : file.text.size();
    if (begin + at.column + at.length > end) fail("a name beyond its line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    skin::SkinFile file;
    file.path = L"C:\\skin\\720p\\file.xml";
    file.role = skin::FileRole::SKIN_FILE_ROLE;
    file.group = "defaults";
    file.text.assign(reinterpret_cast<const char*>(data), size);
    skin::ScanSkinFile(file, {"texture", "texturefocus"});
    for (const skin::Definition& d : file.definitions) {
        checkPlace(file, d.at);
        checkPlace(file, d.nameAt);
    }
    for (const skin::SymbolReference& r : file.references) checkPlace(file, r.at);
    for (const skin::MarkupElement& m : file.markup) {
        if (m.tag >= size || m.text.begin > m.text.end || m.text.end > size) fail("an element outside the text");
        if (m.parent != skin::MarkupElement::kNone && m.parent >= file.markup.size()) fail("a parent not recorded");
    }
    for (const std::size_t at : {size / 3, size / 2, size}) {
        const skin::MarkupHover hover = skin::VocabularyHoverAt(file.text, at);
        if (hover.begin > hover.end || hover.end > size) fail("a hover outside the text");
        const skin::CompletionSite site = skin::FindCompletionSite(file.text, at);
        if (site.start > site.caret || site.end > size) fail("a completion site outside the text");
    }
    return 0;
}
