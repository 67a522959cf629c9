// Checking references against a skin: one document kept checked line by line
// while it is edited (only the lines an edit touched are read again), and the
// whole window folder of a skin checked file by file.
#pragma once

#include "skin/SkinIndex.h"
#include "skin/SkinReferences.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace skin {

// A document's lines as bytes, without their line ends.
class LineSource {
public:
    virtual ~LineSource() = default;
    virtual std::size_t lineCount() const = 0;
    virtual std::string line(std::size_t index) const = 0;
};

// Lines split as the editor splits them: at CR LF, LF or a lone CR.
class TextLines : public LineSource {
public:
    explicit TextLines(std::string text);
    std::size_t lineCount() const override { return starts_.size(); }
    std::string line(std::size_t index) const override;

private:
    std::string text_;
    std::vector<std::size_t> starts_;
    std::vector<std::size_t> ends_;
};

struct CheckedReference {
    Reference ref;
    bool found = true;
};

struct LineRange {
    std::size_t first = 0;
    std::size_t last = 0;  // inclusive
};

class DocumentCheck {
public:
    explicit DocumentCheck(const ReferenceRules& rules) : rules_(rules) {}

    void clear();
    void checkAll(const LineSource& lines, const SkinIndex& index);
    // Lines [first, first + removed) of the text checked before are now the
    // lines [first, first + added). Only noted: recheck reads them.
    void linesReplaced(std::size_t first, std::size_t removed, std::size_t added);
    bool hasPendingLines() const { return firstDirty_ <= lastDirty_; }
    // Reads the lines edits touched (and the lines after them whose start
    // moved into or out of a comment) and returns them as ranges, in order.
    // A document whose line count disagrees with the noted edits is read whole.
    std::vector<LineRange> recheck(const LineSource& lines, const SkinIndex& index);
    // Resolves every reference again (the skin changed); true when any
    // reference changed between found and missing.
    bool resolveAgain(const SkinIndex& index);

    std::size_t lineCount() const { return lines_.size(); }
    const std::vector<CheckedReference>& referencesOn(std::size_t line) const;
    // The missing reference whose name spans `column` (its end included), or null.
    const CheckedReference* missingAt(std::size_t line, std::size_t column) const;
    std::size_t referenceCount() const;
    std::size_t missingCount() const;

private:
    struct Line {
        std::vector<CheckedReference> refs;
        LineState in = LineState::Text;
        LineState out = LineState::Text;
        bool dirty = true;
    };
    void scan(std::size_t at, const LineSource& lines, const SkinIndex& index);

    const ReferenceRules& rules_;
    std::vector<Line> lines_;
    std::vector<Reference> scratch_;
    std::size_t firstDirty_ = 1;
    std::size_t lastDirty_ = 0;
};

// One missing reference of a file of the window folder.
struct Finding {
    std::wstring file;     // the file name, no folder
    std::wstring path;     // the full path
    std::size_t line = 0;  // 1-based, as the editor counts
    ReferenceKind kind = ReferenceKind::Texture;
    std::wstring name;
    std::wstring explanation;
};

struct SkinCheckReport {
    std::size_t files = 0;
    std::size_t references = 0;
    std::vector<Finding> missing;
    bool cancelled = false;
};

// Told before each file (done so far, total, the file's name); returning
// false stops the check.
using CheckProgress = std::function<bool(std::size_t done, std::size_t total, const std::wstring& file)>;

// Checks every .xml file of `windowFolder` (not its sub-folders), in name
// order, against the skin around it.
SkinCheckReport CheckWindowFolder(const std::wstring& windowFolder, DirectoryLister& lister, const FileReader& readFile,
                                  SkinIndex& index, const ReferenceRules& rules, const CheckProgress& progress);

// "Home.xml (12): texture buttons/focus.png" and the summary after the list.
std::wstring FindingLine(const Finding& finding);
std::wstring SummaryLine(const SkinCheckReport& report);

}  // namespace skin
