// Finding the control element around the caret from its tags.
#include "controls/ControlBlock.h"

#include <algorithm>
#include <utility>

#include "controls/ControlBlockChars.h"

namespace controls {

namespace {

// How many lines above a control the look for an unclosed comment or CDATA
// section around it goes. A comment longer than this that holds a whole
// control with the caret in it is taken for markup.
constexpr Position kSectionLookBack = 256;

// The document's lines, read on demand outward from one line: upwards and
// downwards in growing chunks, so a scan costs what it reads and no more.
class TextWindow {
public:
    TextWindow(const ControlDocument& doc, Position line) : doc_(doc), lineCount_(doc.lineCount()) {
        length_ = lineCount_ > 0 ? doc.lineEnd(lineCount_ - 1) : 0;
        firstLine_ = lastLine_ = line;
        base_ = doc.lineStart(line);
        buf_ = doc.text(base_, startOf(line + 1));
    }

    Position length() const { return length_; }
    Position base() const { return base_; }

    // Makes `pos` readable; false outside the document.
    bool has(Position pos) {
        if (pos < 0 || pos >= length_) return false;
        while (pos < base_) {
            if (!growUp()) return false;
        }
        while (pos >= limit()) {
            if (!growDown()) return false;
        }
        return true;
    }
    // The byte at `pos`, or -1 outside the document.
    int ch(Position pos) { return has(pos) ? static_cast<unsigned char>(buf_[index(pos)]) : -1; }
    bool startsWith(Position pos, std::string_view s) {
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (ch(pos + static_cast<Position>(i)) != static_cast<unsigned char>(s[i])) return false;
        }
        return true;
    }

    // The nearest position at or before `from` holding `a` or `b`; -1 for none.
    Position findBackward(Position from, char a, char b, Position floor = 0) {
        if (from >= length_) from = length_ - 1;
        while (from >= floor && has(from)) {
            const char* data = buf_.data();
            const Position lowest = std::max(base_, floor);
            for (Position p = from; p >= lowest; --p) {
                const char c = data[index(p)];
                if (c == a || c == b) return p;
            }
            from = lowest - 1;
        }
        return -1;
    }
    Position findBackward(Position from, std::string_view s, Position floor = 0) {
        while (from >= floor) {
            const Position at = findBackward(from, s[0], s[0], floor);
            if (at < 0 || startsWith(at, s)) return at;
            from = at - 1;
        }
        return -1;
    }
    // The nearest position at or after `from` holding `c`; -1 for none.
    Position findForward(Position from, char c) {
        if (from < 0) from = 0;
        while (has(from)) {
            const std::size_t at = buf_.find(c, index(from));
            if (at != std::string::npos) return base_ + static_cast<Position>(at);
            from = limit();
        }
        return -1;
    }
    Position findForward(Position from, std::string_view s) {
        for (;;) {
            const Position at = findForward(from, s[0]);
            if (at < 0 || startsWith(at, s)) return at;
            from = at + 1;
        }
    }

    // Zero-based line of a position the window has read.
    Position lineOf(Position pos) {
        if (!has(pos)) return -1;
        const std::size_t end = index(pos);
        Position breaks = 0;
        for (std::size_t i = 0; i < end; ++i) {
            const char c = buf_[i];
            if (c == '\n' || (c == '\r' && !(i + 1 < buf_.size() && buf_[i + 1] == '\n'))) ++breaks;
        }
        return firstLine_ + breaks;
    }

private:
    std::size_t index(Position pos) const { return static_cast<std::size_t>(pos - base_); }
    Position limit() const { return base_ + static_cast<Position>(buf_.size()); }
    Position startOf(Position line) const { return line < lineCount_ ? doc_.lineStart(line) : length_; }

    bool growUp() {
        if (firstLine_ <= 0) return false;
        const Position step = std::max<Position>(lastLine_ - firstLine_ + 1, 32);
        const Position first = std::max<Position>(0, firstLine_ - step);
        const Position from = doc_.lineStart(first);
        std::string more = doc_.text(from, base_);
        if (from >= base_ || static_cast<Position>(more.size()) != base_ - from) return false;
        more += buf_;
        buf_ = std::move(more);
        base_ = from;
        firstLine_ = first;
        return true;
    }
    bool growDown() {
        if (lastLine_ + 1 >= lineCount_) return false;
        const Position step = std::max<Position>(lastLine_ - firstLine_ + 1, 32);
        const Position last = std::min<Position>(lineCount_ - 1, lastLine_ + step);
        const Position to = startOf(last + 1);
        const std::string more = doc_.text(limit(), to);
        if (to <= limit() || static_cast<Position>(more.size()) != to - limit()) return false;
        buf_ += more;
        lastLine_ = last;
        return true;
    }

    const ControlDocument& doc_;
    Position lineCount_ = 0;
    Position length_ = 0;
    Position firstLine_ = 0;
    Position lastLine_ = 0;
    Position base_ = 0;
    std::string buf_;
};

enum class TagKind { Start, End, Empty };

// What starts at a '<': a tag, a comment, a CDATA section, a processing
// instruction or a declaration; or nothing the parser would take as markup.
struct Construct {
    bool valid = false;
    bool tag = false;
    bool control = false;
    TagKind kind = TagKind::Start;
    Position begin = 0;
    Position end = 0;  // one past its last '>'; when not valid, how far the text was read to say so
};

bool isControlName(TextWindow& w, Position from, Position to) {
    static constexpr std::string_view kName = "control";
    if (to - from != static_cast<Position>(kName.size())) return false;
    for (std::size_t i = 0; i < kName.size(); ++i) {
        if (foldAscii(static_cast<char>(w.ch(from + static_cast<Position>(i)))) != kName[i]) return false;
    }
    return true;
}

Position skipName(TextWindow& w, Position p) {
    int c = 0;
    while ((c = w.ch(p)) >= 0 && isNameChar(static_cast<char>(c))) ++p;
    return p;
}

Construct sectionEndingWith(TextWindow& w, Position q, Position from, std::string_view terminator) {
    Construct c;
    c.begin = q;
    const Position at = w.findForward(from, terminator);
    if (at < 0) {
        c.end = w.length();
        return c;
    }
    c.valid = true;
    c.end = at + static_cast<Position>(terminator.size());
    return c;
}

Construct lexConstruct(TextWindow& w, Position q) {
    if (w.startsWith(q, "<!--")) return sectionEndingWith(w, q, q + 4, "-->");
    if (w.startsWith(q, "<![CDATA[")) return sectionEndingWith(w, q, q + 9, "]]>");
    if (w.startsWith(q, "<?")) return sectionEndingWith(w, q, q + 2, "?>");
    if (w.startsWith(q, "<!")) return sectionEndingWith(w, q, q + 2, ">");

    Construct c;
    c.begin = q;
    const int first = w.ch(q + 1);
    auto notMarkup = [&c](Position reach) {
        c.end = reach + 1;
        return c;
    };
    if (first == '/') {
        const Position name = q + 2;
        if (w.ch(name) < 0 || !isNameStart(static_cast<char>(w.ch(name)))) return notMarkup(name);
        Position p = skipName(w, name);
        const Position nameEnd = p;
        while (w.ch(p) >= 0 && isWhiteSpace(static_cast<char>(w.ch(p)))) ++p;
        if (w.ch(p) != '>') return notMarkup(p);
        c.valid = c.tag = true;
        c.kind = TagKind::End;
        c.control = isControlName(w, name, nameEnd);
        c.end = p + 1;
        return c;
    }
    if (first < 0 || !isNameStart(static_cast<char>(first))) return notMarkup(q + 1);
    const Position name = q + 1;
    Position p = skipName(w, name);
    const Position nameEnd = p;
    for (;;) {
        const int x = w.ch(p);
        if (x < 0 || x == '<') return notMarkup(p);
        if (x == '"' || x == '\'') {
            // A quoted value runs to its closing quote and holds no '<'.
            ++p;
            int y = 0;
            while ((y = w.ch(p)) >= 0 && y != x && y != '<') ++p;
            if (y != x) return notMarkup(p);
            ++p;
        } else if (x == '>') {
            c.kind = TagKind::Start;
            c.end = p + 1;
            break;
        } else if (x == '/' && w.ch(p + 1) == '>') {
            c.kind = TagKind::Empty;
            c.end = p + 2;
            break;
        } else {
            ++p;
        }
    }
    c.valid = c.tag = true;
    c.control = isControlName(w, name, nameEnd);
    return c;
}

// For a '>' that ends "-->", "]]>" or "?>": the start of the section that
// really ends there; -1 when it is no section's end.
Position sectionOpenerEndingAt(TextWindow& w, Position gt, Position floor) {
    std::string_view opener;
    if (w.startsWith(gt - 2, "-->")) {
        opener = "<!--";
    } else if (w.startsWith(gt - 2, "]]>")) {
        opener = "<![CDATA[";
    } else if (w.startsWith(gt - 1, "?>")) {
        opener = "<?";
    } else {
        return -1;
    }
    const Position q = w.findBackward(gt - 1, opener, floor);
    if (q < 0) return -1;
    const Construct section = lexConstruct(w, q);
    return section.valid && section.end == gt + 1 ? q : -1;
}

// The nearest opener of a comment above `from` that no comment closer
// follows (or the same for CDATA sections), within the look-back; -1 when the
// nearest marker of each kind closes its section, or there is none.
Position unclosedSectionAbove(TextWindow& w, Position from, Position floor) {
    static constexpr std::string_view kinds[2][2] = {{"<!--", "-->"}, {"<![CDATA[", "]]>"}};
    Position nearest = -1;
    for (const auto& kind : kinds) {
        Position at = from;
        while ((at = w.findBackward(at, '<', '>', floor)) >= 0) {
            if (w.ch(at) == '>') {
                if (w.startsWith(at - 2, kind[1])) break;
            } else if (w.startsWith(at, kind[0])) {
                nearest = std::max(nearest, at);
                break;
            }
            --at;
        }
    }
    return nearest;
}

// The control tags met on the way up from the caret's line, and what they
// say about the controls around it.
class Ancestry {
public:
    explicit Ancestry(Position caretLineStart) : caretLineStart_(caretLineStart) {}

    struct Found {
        Construct start;
        std::optional<Construct> close;  // unknown when it lies below the caret's line
    };

    // Takes the next tag upwards; returns the control under the caret once
    // this tag is its start tag. The first start tag met that encloses the
    // caret's line starts later than any other that does: the innermost.
    std::optional<Found> add(const Construct& tag) {
        tags_.push_back(tag);
        return take(tag);
    }

    // Tags at or below `end` turned out to lie inside a comment or another
    // construct that starts above them: they are dropped.
    // No control tag met so far is left unmatched: no control that the
    // caret's line does not close is open here.
    bool balanced() const { return pending_.empty(); }

    void dropBefore(Position end) {
        bool dropped = false;
        while (!tags_.empty() && tags_.back().begin < end) {
            tags_.pop_back();
            dropped = true;
        }
        if (!dropped) return;
        pending_.clear();
        for (const Construct& tag : tags_) take(tag);
    }

private:
    std::optional<Found> take(const Construct& tag) {
        switch (tag.kind) {
        case TagKind::End:
            pending_.push_back(tag);
            return std::nullopt;
        case TagKind::Empty:
            if (tag.end - 1 >= caretLineStart_) return Found{tag, tag};
            return std::nullopt;
        case TagKind::Start:
            if (pending_.empty()) return Found{tag, std::nullopt};
            {
                const Construct close = pending_.back();
                pending_.pop_back();
                if (close.end - 1 >= caretLineStart_) return Found{tag, close};
            }
            return std::nullopt;
        }
        return std::nullopt;
    }

    Position caretLineStart_;
    std::vector<Construct> tags_;     // in the order met, bottom up
    std::vector<Construct> pending_;  // end tags not yet matched
};

// The end tag that closes the control whose start tag ends at `from`.
std::optional<Construct> matchingClose(TextWindow& w, Position from) {
    int depth = 0;
    Position p = from;
    for (;;) {
        const Position q = w.findForward(p, '<');
        if (q < 0) return std::nullopt;
        const Construct c = lexConstruct(w, q);
        if (!c.valid) {
            p = q + 1;
            continue;
        }
        if (c.tag && c.control) {
            if (c.kind == TagKind::Start) {
                ++depth;
            } else if (c.kind == TagKind::End) {
                if (depth == 0) return c;
                --depth;
            }
        }
        p = c.end;
    }
}

}  // namespace

ControlBlock findControl(const ControlDocument& doc, Position caretLine) {
    ControlFinder uncached;
    return uncached.find(doc, caretLine);
}

ControlBlock ControlFinder::find(const ControlDocument& doc, Position caretLine) {
    if (caretLine < 0 || caretLine >= doc.lineCount()) return {};
    if (doc.identity() != document_) {
        forget();
        document_ = doc.identity();
    }
    TextWindow w(doc, caretLine);
    // A text that changed length untold changed in places unknown.
    if (w.length() != length_ && !told_) forget();
    document_ = doc.identity();
    length_ = w.length();
    told_ = false;
    const Position lineStart = w.base();
    const Position lineEnd = doc.lineEnd(caretLine);
    Ancestry ancestry(lineStart);
    std::optional<Ancestry::Found> found;

    // The nearest place above the caret's line known to lie outside every
    // control: the way up ends there (a control that ends on the caret's line
    // and started above it would be open there). It must still hold the '<'
    // it was learnt at, or what was learnt no longer describes this text.
    Position floor = 0;
    const auto known = std::upper_bound(outside_.begin(), outside_.end(), lineStart - 1);
    if (known != outside_.begin()) {
        floor = *std::prev(known);
        if (w.ch(floor) != '<') {
            forget();
            document_ = doc.identity();
            floor = 0;
        }
    }
    // Places met on the way up with no control open between them and the
    // caret's line: outside every control if, in the end, none encloses it.
    std::vector<Position> passed;
    std::vector<Doubtful> doubtful;
    auto dropPassed = [&](Position end) {
        while (!passed.empty() && passed.back() < end) passed.pop_back();
        while (!doubtful.empty() && doubtful.back().begin < end) doubtful.pop_back();
    };

    // Upwards from the end of the caret's line, tag by tag.
    Position pos = lineEnd - 1;
    for (;;) {
        const Position at = w.findBackward(pos, '<', '>', floor);
        if (at < 0) break;
        if (w.ch(at) == '>') {
            // A whole comment (or CDATA section, or instruction) above: skipped.
            const Position opener = sectionOpenerEndingAt(w, at, floor);
            pos = opener >= 0 ? opener - 1 : at - 1;
            if (opener >= 0 && ancestry.balanced()) passed.push_back(opener);
            continue;
        }
        pos = at - 1;
        const Construct c = lexConstruct(w, at);
        if (!c.valid) {
            // A '<' the parser would not take as markup: text, until an edit
            // in what was read to say so makes it markup after all.
            doubtful.push_back({at, c.end});
            continue;
        }
        // Whatever was met between this '<' and the end of what it starts
        // lies inside it (the caret's line may end inside a comment).
        ancestry.dropBefore(c.end);
        dropPassed(c.end);
        if (c.tag && c.control) found = ancestry.add(c);
        if (!found) {
            if (ancestry.balanced()) passed.push_back(c.begin);
            continue;
        }
        // A comment that holds the whole control and the caret's line would
        // not have been seen on the way up: its opener is the nearest marker
        // above the control.
        const Position floorLine = std::max<Position>(0, w.lineOf(c.begin) - kSectionLookBack);
        const Position opener = unclosedSectionAbove(w, c.begin - 1, std::max(floor, doc.lineStart(floorLine)));
        if (opener >= 0) {
            const Construct section = lexConstruct(w, opener);
            if (section.valid && section.end > c.begin) {
                ancestry.dropBefore(section.end);
                dropPassed(section.end);
                found.reset();
                pos = opener - 1;
                continue;
            }
        }
        break;
    }
    if (!found) {
        // No control encloses the caret's line, so none is open at the places
        // passed on the way: later searches may stop there.
        // Met bottom up: in descending order.
        const std::size_t known = outside_.size();
        outside_.insert(outside_.end(), passed.rbegin(), passed.rend());
        std::inplace_merge(outside_.begin(), outside_.begin() + static_cast<std::ptrdiff_t>(known), outside_.end());
        outside_.erase(std::unique(outside_.begin(), outside_.end()), outside_.end());
        if (!doubtful.empty()) {
            const auto byBegin = [](const Doubtful& a, const Doubtful& b) { return a.begin < b.begin; };
            const std::size_t held = doubtful_.size();
            doubtful_.insert(doubtful_.end(), doubtful.rbegin(), doubtful.rend());
            std::inplace_merge(doubtful_.begin(), doubtful_.begin() + static_cast<std::ptrdiff_t>(held),
                               doubtful_.end(), byBegin);
            doubtful_.erase(std::unique(doubtful_.begin(), doubtful_.end(),
                                        [](const Doubtful& a, const Doubtful& b) { return a.begin == b.begin; }),
                            doubtful_.end());
        }
        return {};
    }

    if (!found->close) found->close = matchingClose(w, found->start.end);
    if (!found->close) return {};
    ControlBlock block;
    block.begin = found->start.begin;
    block.end = found->close->end;
    block.lines = {w.lineOf(block.begin), w.lineOf(block.end - 1)};
    return block;
}

void ControlFinder::changedFrom(Position position) {
    told_ = true;
    // A change at `position` may turn what follows it into anything; what
    // lies before it is as it was, but for a '<' taken for text because of
    // what the text said up to the change: it may now start a comment or a
    // tag that reaches past the places learnt after it.
    Position from = position;
    for (const Doubtful& d : doubtful_) {
        if (d.begin < position && d.reach >= position) from = std::min(from, d.begin);
    }
    outside_.erase(std::lower_bound(outside_.begin(), outside_.end(), from), outside_.end());
    doubtful_.erase(
        std::remove_if(doubtful_.begin(), doubtful_.end(), [from](const Doubtful& d) { return d.begin >= from; }),
        doubtful_.end());
}

void ControlFinder::forget() {
    outside_.clear();
    doubtful_.clear();
    document_ = 0;
}

}  // namespace controls
