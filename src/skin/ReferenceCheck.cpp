#include "skin/ReferenceCheck.h"

#include <algorithm>

namespace skin {

TextLines::TextLines(std::string text) : text_(std::move(text)) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text_.size(); ++i) {
        if (text_[i] != '\r' && text_[i] != '\n') continue;
        starts_.push_back(start);
        ends_.push_back(i);
        if (text_[i] == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n') ++i;
        start = i + 1;
    }
    starts_.push_back(start);
    ends_.push_back(text_.size());
}

std::string TextLines::line(std::size_t index) const {
    if (index >= starts_.size()) return std::string();
    return text_.substr(starts_[index], ends_[index] - starts_[index]);
}

void DocumentCheck::clear() {
    lines_.clear();
    firstDirty_ = 1;
    lastDirty_ = 0;
}

void DocumentCheck::scan(std::size_t at, const LineSource& lines, const SkinIndex& index) {
    Line& line = lines_[at];
    line.in = at == 0 ? LineState::Text : lines_[at - 1].out;
    scratch_.clear();
    line.out = rules_.scanLine(lines.line(at), line.in, scratch_);
    line.refs.clear();
    for (Reference& ref : scratch_) {
        const bool found = index.resolves(ref);
        line.refs.push_back(CheckedReference{std::move(ref), found});
    }
    line.dirty = false;
}

void DocumentCheck::checkAll(const LineSource& lines, const SkinIndex& index) {
    lines_.assign(lines.lineCount(), Line{});
    for (std::size_t i = 0; i < lines_.size(); ++i) scan(i, lines, index);
    firstDirty_ = 1;
    lastDirty_ = 0;
}

void DocumentCheck::linesReplaced(std::size_t first, std::size_t removed, std::size_t added) {
    first = std::min(first, lines_.size());
    removed = std::min(removed, lines_.size() - first);
    const bool pending = hasPendingLines();
    // Where the lines already waiting for a read are now.
    if (pending && lastDirty_ >= first + removed) {
        lastDirty_ = lastDirty_ + added - removed;
    } else if (pending && lastDirty_ >= first) {
        lastDirty_ = first;
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first),
                 lines_.begin() + static_cast<std::ptrdiff_t>(first + removed));
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(first), added, Line{});
    // With no line left in place of the removed ones, the line after them
    // starts where another line used to end.
    std::size_t touchedLast = added > 0 ? first + added - 1 : first;
    if (added == 0 && first < lines_.size()) lines_[first].dirty = true;
    firstDirty_ = pending ? std::min(firstDirty_, first) : first;
    lastDirty_ = pending ? std::max(lastDirty_, touchedLast) : touchedLast;
}

std::vector<LineRange> DocumentCheck::recheck(const LineSource& lines, const SkinIndex& index) {
    std::vector<LineRange> ranges;
    const std::size_t count = lines.lineCount();
    if (count != lines_.size()) {
        checkAll(lines, index);
        if (count > 0) ranges.push_back({0, count - 1});
        return ranges;
    }
    if (!hasPendingLines()) return ranges;
    std::size_t stop = std::min(lastDirty_, count == 0 ? 0 : count - 1);
    for (std::size_t i = firstDirty_; i < count && i <= stop; ++i) {
        if (!lines_[i].dirty) continue;
        scan(i, lines, index);
        if (!ranges.empty() && ranges.back().last + 1 == i) {
            ranges.back().last = i;
        } else {
            ranges.push_back({i, i});
        }
        // A comment opened or closed here changes how the next line starts.
        if (i + 1 < count && lines_[i + 1].in != lines_[i].out) {
            lines_[i + 1].dirty = true;
            stop = std::max(stop, i + 1);
        }
    }
    firstDirty_ = 1;
    lastDirty_ = 0;
    return ranges;
}

bool DocumentCheck::resolveAgain(const SkinIndex& index) {
    bool changed = false;
    for (Line& line : lines_) {
        for (CheckedReference& checked : line.refs) {
            const bool found = index.resolves(checked.ref);
            changed = changed || found != checked.found;
            checked.found = found;
        }
    }
    return changed;
}

const std::vector<CheckedReference>& DocumentCheck::referencesOn(std::size_t line) const {
    static const std::vector<CheckedReference> kNone;
    return line < lines_.size() ? lines_[line].refs : kNone;
}

const CheckedReference* DocumentCheck::missingAt(std::size_t line, std::size_t column) const {
    for (const CheckedReference& checked : referencesOn(line)) {
        if (!checked.found && column >= checked.ref.begin && column <= checked.ref.end) return &checked;
    }
    return nullptr;
}

std::size_t DocumentCheck::referenceCount() const {
    std::size_t n = 0;
    for (const Line& line : lines_) n += line.refs.size();
    return n;
}

std::size_t DocumentCheck::missingCount() const {
    std::size_t n = 0;
    for (const Line& line : lines_) {
        n += static_cast<std::size_t>(
            std::count_if(line.refs.begin(), line.refs.end(), [](const CheckedReference& c) { return !c.found; }));
    }
    return n;
}

namespace {

bool lessIgnoringCase(const std::wstring& a, const std::wstring& b) {
    const std::wstring ka = ReferenceKey(a);
    const std::wstring kb = ReferenceKey(b);
    return ka != kb ? ka < kb : a < b;
}

}  // namespace

SkinCheckReport CheckWindowFolder(const std::wstring& windowFolder, DirectoryLister& lister, const FileReader& readFile,
                                  SkinIndex& index, const ReferenceRules& rules, const CheckProgress& progress) {
    SkinCheckReport report;
    const std::wstring folder = NormaliseFolder(windowFolder);
    std::vector<DirItem> items;
    std::vector<std::wstring> names;
    if (lister.list(folder + L"\\*.xml", items)) {
        for (const DirItem& item : items) {
            // "*.xml" also matches longer extensions on some file systems.
            const bool xml = item.name.size() > 4 && ReferenceKey(item.name.substr(item.name.size() - 4)) == L".xml";
            if (!item.isFolder && xml) names.push_back(item.name);
        }
    }
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    index.refresh(folder);

    std::vector<Reference> refs;
    for (std::size_t f = 0; f < names.size(); ++f) {
        if (progress && !progress(f, names.size(), names[f])) {
            report.cancelled = true;
            return report;
        }
        const std::wstring path = folder + L"\\" + names[f];
        std::string bytes;
        if (!readFile || !readFile(path, bytes)) continue;
        ++report.files;
        const TextLines lines(std::move(bytes));
        LineState state = LineState::Text;
        for (std::size_t i = 0; i < lines.lineCount(); ++i) {
            refs.clear();
            state = rules.scanLine(lines.line(i), state, refs);
            report.references += refs.size();
            for (Reference& ref : refs) {
                if (index.resolves(ref)) continue;
                Finding finding;
                finding.file = names[f];
                finding.path = path;
                finding.line = i + 1;
                finding.kind = ref.kind;
                finding.explanation = index.explainMissing(ref);
                finding.name = std::move(ref.name);
                report.missing.push_back(std::move(finding));
            }
        }
    }
    if (progress) progress(names.size(), names.size(), std::wstring());
    return report;
}

std::wstring FindingLine(const Finding& finding) {
    return finding.file + L" (" + std::to_wstring(finding.line) + L"): " + kindName(finding.kind) + L" " + finding.name;
}

std::wstring SummaryLine(const SkinCheckReport& report) {
    std::wstring line = std::wstring(report.cancelled ? L"Stopped after " : L"Checked ") +
                        std::to_wstring(report.files) + (report.files == 1 ? L" file: " : L" files: ") +
                        std::to_wstring(report.references) +
                        (report.references == 1 ? L" reference, " : L" references, ") +
                        std::to_wstring(report.missing.size()) + L" missing.";
    return line;
}

}  // namespace skin
