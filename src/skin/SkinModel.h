// One model of a whole skin: its folders, include files, includes and their
// parameters, variables, expressions, constants, fonts, colours, strings,
// textures on disk and in the bundle; every definition and every reference
// found in its files, the name under a position, and what to say about it.
//
// Kept per skin and brought up to date cheaply: refresh() looks at sizes and
// times and re-reads only the files (and folders) that changed; the unsaved
// text of an open document replaces its file through setOverlay().
//
// Units. Paths are UTF-16 with backslashes, as the directory lister takes
// them. Names, values and texts are UTF-8. A position is a line, 1-based, and
// a column, 0-based, counted in bytes of the line as the file (or overlay
// text) holds it. The editor adds the column to the line's start position; a
// language server converts the byte column to UTF-16 code units from the
// line's text (lineText() gives it).
//
// Threads. Nothing is shared between models and nothing is computed lazily:
// every const member reads only what the last refresh(), setOverlay() or
// clearOverlay() left. So a model may be built or updated on one thread and
// then read from another, provided the two never overlap (hand it over
// under a lock or by a message). The DirectoryLister and readers it was given
// are used only by the non-const members and by hover() (a texture's size
// is read from its file or bundle header there).
#pragma once

#include "skin/DirectoryReader.h"
#include "skin/IncludeScan.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace skin {

class ExpandedWindow;

enum class SymbolKind : unsigned char {
    Include,      // <include name="N"> in an include file
    Param,        // a parameter of an include; `scope` is the include's name
    Variable,     // <variable name="V">
    Expression,   // <expression name="E">
    Constant,     // <constant name="C">
    Font,         // a <font> of a fontset in Font.xml; `group` is the fontset id
    Colour,       // <color name="N"> of colors/*.xml; `group` is the file's name without .xml
                  // ("defaults" for defaults.xml, "core" for the media center's own file)
    String,       // an id of strings.po; `group` "skin" or "core"
    Texture,      // a file under media/ or a bundle entry; `group` "disk" or "bundle"
    IncludeFile,  // an include file itself
};

// "include", "parameter", "variable", "expression", "constant", "font",
// "colour", "string", "texture", "include file".
const char* symbolKindName(SymbolKind kind);

struct Location {
    std::wstring path;
    std::uint32_t line = 0;    // 1-based; 0 for a place without lines (a texture)
    std::uint32_t column = 0;  // 0-based, bytes
    std::uint32_t length = 0;  // bytes of the name (0 when not on a line)
};

struct Definition {
    SymbolKind kind = SymbolKind::Include;
    std::string name;
    std::string scope;  // Param: the include that declares it
    std::string group;  // Font: fontset id; Colour: theme ("defaults"); String: "skin"/"core"; Texture: "disk"/"bundle"
    bool primary = true;  // what a reference resolves to (the Default fontset, defaults.xml, ...)
    Location at;          // the start tag (a file's start for textures and include files)
    Location nameAt;      // the name itself (equal to `at` where there is no name text)
    std::string value;    // Colour: AARRGGBB; String: its text; Param: its default; Constant: its value;
                          // Font: "file, size N"; Include/Variable/Expression: the first lines of its text
};

// How a referring text reads.
enum class ReferenceForm : unsigned char {
    Name,     // a name to look up
    Literal,  // a value that is no name (a colour's eight hex digits, a number); a string
              // id in a variable's value, which may or may not be read as one
    Dynamic,  // built at run time (holds a '$'): cannot be followed
};

struct SymbolReference {
    SymbolKind kind = SymbolKind::Include;
    ReferenceForm form = ReferenceForm::Name;
    std::string name;     // Param in a call: the parameter; $VAR[V,a,b]: "V"
    std::string scope;    // Param: the include defining ($PARAM) or being called (<param name>)
    std::string context;  // the include definition the reference sits in, if any
    std::string element;  // the element (or attribute) holding it: "textcolor", "condition", ...
    Location at;          // the name's span
};

// What stands under a position: a reference or the name of a definition.
struct NameAt {
    bool found = false;
    bool isDefinition = false;
    SymbolKind kind = SymbolKind::Include;
    ReferenceForm form = ReferenceForm::Name;
    std::string name;
    std::string scope;
    std::string context;
    Location at;
};

// A file the model could not read, or read only in part.
struct ModelProblem {
    std::wstring path;
    std::string reason;
};

// A run of a file's text, in bytes of the file (or overlay) text.
struct TextRange {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// A control's id attribute in a window file.
struct ControlId {
    std::string id;
    TextRange at;  // the value
};

// What a file is to the skin.
enum class FileRole : unsigned char { Window, Includes, Fonts, Colours, Strings, CoreStrings };

// One file as the model read it.
struct SkinFile {
    std::wstring path;
    FileRole role = FileRole::Window;
    bool overlay = false;  // read from unsaved text
    std::string text;
    std::vector<std::size_t> lineStarts;
    std::vector<Definition> definitions;
    std::vector<SymbolReference> references;
    std::vector<std::string> includedFiles;  // <include file> children of <includes>, as written
    // The texts read as conditions: <visible>, <enable>, <selected>,
    // <usealttexture>, condition="..." and expressions. An empty one is an
    // empty range at its start tag; one broken by a comment or child element is left out.
    std::vector<TextRange> conditions;
    // The id attributes of <control> elements outside list item layouts.
    std::vector<ControlId> controlIds;
    // The values given to include parameters: passed by calls and declared as defaults.
    std::vector<std::string> paramValues;
    std::string group;    // Colours: the theme ("defaults" for defaults.xml)
    std::string problem;  // what could not be read, or empty
    FileStamp stamp;
};

// One entry of a texture bundle: its name and its first frame's size.
struct BundleEntryInfo {
    std::string name;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};
using BundleInfoReader = std::function<bool(const std::wstring& path, std::vector<BundleEntryInfo>& out)>;
// Through the bundle reader (its header only).
bool ReadBundleInfo(const std::wstring& path, std::vector<BundleEntryInfo>& out);

struct SkinModelOptions {
    std::vector<std::wstring> imageElements;  // the elements whose text names an image
    std::wstring coreStringsPath;             // the media center's own strings.po, or empty
    std::wstring coreColoursPath;             // the media center's own colours file, or empty
};

class SkinModel {
public:
    SkinModel(DirectoryLister& lister, FileReader readFile, BundleInfoReader readBundle, SkinModelOptions options);
    ~SkinModel();
    SkinModel(const SkinModel&) = delete;
    SkinModel& operator=(const SkinModel&) = delete;

    // Reads the skin of a document in `documentFolder` (the window folder;
    // the skin folder is its parent). A new skin is read whole; the same skin
    // again re-reads only what changed on disk. True when anything changed.
    bool refresh(const std::wstring& documentFolder);
    // The unsaved text of an open document stands for its file (only that
    // file is read again); clearOverlay goes back to the file on disk.
    void setOverlay(const std::wstring& path, std::string text);
    void clearOverlay(const std::wstring& path);
    void setCoreStringsPath(const std::wstring& path);
    void setCoreColoursPath(const std::wstring& path);

    const std::wstring& skinFolder() const;  // without a trailing backslash
    const std::vector<std::wstring>& windowFolders() const;
    const std::wstring& bundlePath() const;

    // Every file read, in a stable order (window folders, then colours, strings).
    const std::vector<std::unique_ptr<SkinFile>>& files() const;
    const SkinFile* file(const std::wstring& path) const;  // letter case ignored
    std::vector<ModelProblem> problems() const;

    // The definitions of a name, primary ones first (textures: disk before
    // bundle). `scope` matters for parameters only. Pointers hold until the
    // next non-const call.
    std::vector<const Definition*> definitions(SymbolKind kind, std::string_view name,
                                               std::string_view scope = {}) const;
    // Every reference to a name across the skin, in file order.
    std::vector<const SymbolReference*> references(SymbolKind kind, std::string_view name,
                                                   std::string_view scope = {}) const;
    // Textures of the media folder and the bundle (keys: lower case, '/').
    const std::vector<Definition>& textures() const;

    // The name under (line, column) of the document at `path` whose current
    // text is `text`; columns as above (a name's end counts as on it).
    NameAt nameAt(const std::wstring& path, std::string_view text, std::uint32_t line, std::uint32_t column) const;
    // What to say about a name (plain text, lines separated by '\n'); empty
    // when there is nothing to say.
    std::string hover(const NameAt& name) const;
    // The text of a line of a file the model holds, without its line end.
    std::string lineText(const Location& at) const;

    // The names the controls panel offers: the includes in file order
    // (includes.xml first), and the images: the bundle's entries in its
    // order, then the PNG, JPEG and BMP files of the media folder as paths
    // below it with backslashes.
    std::vector<std::string> includeNames() const;
    std::vector<std::wstring> imageNames() const;

    // Every window file as the media center builds it (includes expanded),
    // in the files' order; the one of a path, or null when it is no window file.
    const std::vector<std::unique_ptr<ExpandedWindow>>& expandedWindows() const;
    const ExpandedWindow* expandedWindow(const std::wstring& path) const;

    // How many files were read from disk since construction (for tests).
    int fileReads() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Scans one file's text (used by the model, the fuzz targets and nameAt).
// `imageElements`: lower case UTF-8 names.
void ScanSkinFile(SkinFile& file, const std::vector<std::string>& imageElements);

// The place of a run of a file's text: its line (1-based) and column (bytes).
Location LocateInFile(const SkinFile& file, std::size_t begin, std::size_t end);

// Case-folded key of a name or path: ASCII letters lowered, '\' made '/'.
std::string NameKey(std::string_view name);

}  // namespace skin
