// Generated window files with what hand-written skins hold (groups of
// controls, self-closing children and controls, comments and CDATA sections
// holding "<control", attribute values holding "/>", tags spread over lines,
// several tags on one line, CR LF and LF, names in any case): for every line,
// the block found is the innermost control around it as a whole-document
// parse sees it.
#include "controls/ControlBlock.h"
#include "unit/controls/ControlBlockTestDocument.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

using controls::BlockLines;
using controls::Position;

namespace {

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    std::string document() {
        eol_ = chance(50) ? "\n" : "\r\n";
        out_.clear();
        if (chance(50)) out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + eol_;
        out_ += "<window id=\"3\">" + eol_ + "  <controls>" + eol_;
        const int items = 2 + pick(6);
        for (int i = 0; i < items; ++i) item(2, 0);
        out_ += "  </controls>" + eol_ + "</window>" + eol_;
        return out_;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return pick(100) < percent; }
    std::string indent(int level) { return std::string(static_cast<std::size_t>(2 * level), ' '); }
    std::string name() {
        static const char* const spellings[] = {"control", "control", "control", "Control", "CONTROL"};
        return spellings[pick(5)];
    }
    // Ends the current line, or now and then lets the next tag share it.
    void lineBreak(int level) {
        if (chance(12)) {
            out_ += " ";
        } else {
            out_ += eol_ + indent(level);
        }
    }

    void startTag(bool selfClosing) {
        static const char* const types[] = {"button", "image", "label", "group", "grouplist", "togglebutton"};
        out_ += "<" + name() + " type=\"" + types[pick(6)] + "\"";
        if (chance(40))
            out_ += (chance(50) ? eol_ + "           " : std::string(" ")) + "id=\"" + std::to_string(pick(99)) + "\"";
        if (chance(20)) out_ += " description='a /> b'";
        if (chance(15)) out_ += " note=\"x > y --\"";
        out_ += selfClosing ? (chance(50) ? " />" : "/>") : ">";
    }

    void child(int level) {
        switch (pick(11)) {
        case 0:
            out_ += "<posx>" + std::to_string(pick(1280)) + "</posx>";
            break;
        case 1:
            out_ += "<hitrect x=\"1\" y=\"2\" w=\"3\" h=\"4\"/>";
            break;
        case 2:
            out_ += "<include content=\"Common\"><param name=\"a\" value=\"/>\"/></include>";
            break;
        case 3:
            out_ += "<include>Defaults</include>";
            break;
        case 4:
            out_ += "<!-- <control type=\"button\"> -->";
            break;
        case 5:
            out_ += "<label><![CDATA[<control type=\"x\"></control>]]></label>";
            break;
        case 6:
            out_ += "<animation effect=\"fade\"" + eol_ + indent(level) + "   time=\"200\">WindowOpen</animation>";
            break;
        case 7:
            out_ += "<?tool <control ?>";
            break;
        case 8:
            out_ += "<onclick>Skin.Toggle(a) &amp; b > c</onclick>";
            break;
        case 9:
            // A control put aside, the comment over several lines.
            out_ += "<!--" + eol_ + indent(level) + "<control type=\"image\">" + eol_ + indent(level + 1) +
                    "<texture>a.png</texture>" + eol_ + indent(level) + "</control>" + eol_ + indent(level) + "-->";
            break;
        default:
            out_ += "<texture border=\"5\">buttons/focus.png</texture>";
            break;
        }
    }

    void item(int level, int depth) {
        out_ += indent(level);
        const int kind = pick(10);
        if (kind == 0) {
            out_ += "<!-- <control type=\"label\"> -->";
        } else if (kind == 1 || depth > 3) {
            startTag(true);
        } else {
            startTag(false);
            const int children = pick(6);
            for (int c = 0; c < children; ++c) {
                lineBreak(level + 1);
                if (chance(20)) out_ += eol_;  // a blank line
                if (chance(25)) {
                    item(level + 1, depth + 1);  // a nested control
                } else {
                    child(level + 1);
                }
            }
            lineBreak(level);
            out_ += "</" + name() + ">";
        }
        if (chance(15)) {
            out_ += " ";  // the next control starts on this line
        } else {
            out_ += eol_;
        }
    }

    std::mt19937 rng_;
    std::string eol_;
    std::string out_;
};

// The innermost control around every line, by a parse of the whole document
// with regular expressions: each construct is matched as a whole, and the
// control elements are paired with a stack.
std::vector<BlockLines> innermostByLine(const std::string& text) {
    std::vector<std::size_t> lineStarts{0};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (text[i] == '\n' || text[i] == '\r') lineStarts.push_back(i + 1);
    }
    auto lineOf = [&](std::size_t pos) {
        return static_cast<Position>(std::upper_bound(lineStarts.begin(), lineStarts.end(), pos) - lineStarts.begin()) -
               1;
    };

    static const std::regex token(R"(<!--[\s\S]*?-->|<!\[CDATA\[[\s\S]*?\]\]>|<\?[\s\S]*?\?>|<!(?!--|\[CDATA\[)[^>]*>)"
                                  R"(|</([A-Za-z_][-\w.:]*)\s*>)"
                                  R"(|<([A-Za-z_][-\w.:]*)((?:[^<>"']|"[^<"]*"|'[^<']*')*?)(/?)>)");
    struct Element {
        std::size_t begin;
        Position first;
        Position last;
    };
    std::vector<Element> elements;
    std::vector<std::size_t> open;
    auto isControl = [](std::string n) {
        for (char& c : n) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return n == "control";
    };
    for (auto it = std::sregex_iterator(text.begin(), text.end(), token); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        const std::size_t begin = static_cast<std::size_t>(m.position(0));
        const std::size_t end = begin + static_cast<std::size_t>(m.length(0));
        if (m[1].matched && isControl(m[1].str())) {
            if (!open.empty()) {
                elements.push_back({open.back(), lineOf(open.back()), lineOf(end - 1)});
                open.pop_back();
            }
        } else if (m[2].matched && isControl(m[2].str())) {
            if (m[4].length() > 0) {
                elements.push_back({begin, lineOf(begin), lineOf(end - 1)});
            } else {
                open.push_back(begin);
            }
        }
    }

    std::vector<BlockLines> byLine(lineStarts.size());
    for (std::size_t line = 0; line < lineStarts.size(); ++line) {
        const Element* innermost = nullptr;
        for (const Element& e : elements) {
            if (e.first <= static_cast<Position>(line) && e.last >= static_cast<Position>(line) &&
                (innermost == nullptr || e.begin > innermost->begin)) {
                innermost = &e;
            }
        }
        if (innermost != nullptr) byLine[line] = {innermost->first, innermost->last};
    }
    return byLine;
}

}  // namespace

TEST(ControlBlockProperty, EveryLineFindsTheInnermostControlAroundIt) {
    int enclosed = 0;
    for (unsigned seed = 1; seed <= 250; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::string text = Generator(seed).document();
        const controls::fakes::TextDocument doc(text);
        const std::vector<BlockLines> expected = innermostByLine(text);
        ASSERT_EQ(static_cast<Position>(expected.size()), doc.lineCount());
        for (Position line = 0; line < doc.lineCount(); ++line) {
            const controls::ControlBlock found = controls::findControl(doc, line);
            ASSERT_EQ(found.lines, expected[static_cast<std::size_t>(line)]) << "line " << line << "\n" << text;
            if (found.found()) {
                ++enclosed;
                // The element itself, from its '<' to its last '>'.
                const std::string element = text.substr(static_cast<std::size_t>(found.begin),
                                                        static_cast<std::size_t>(found.end - found.begin));
                ASSERT_EQ(controls::lowerAscii(element.substr(0, 8)), "<control");
                ASSERT_EQ(element.back(), '>');
            }
        }
    }
    EXPECT_GT(enclosed, 6000);  // the documents are mostly controls
}

TEST(ControlBlockProperty, RememberingWhereControlsAreNotNeverChangesTheAnswer) {
    // Markup of every kind dropped anywhere, also where it makes no sense.
    static const char* const snippets[] = {
        "<!--", "-->", "<control type=\"a\">", "</control>", "\n", "<control/>", "<x a='", "'>", "]]>", "<![CDATA["};
    for (unsigned seed = 1; seed <= 80; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        std::string text = Generator(seed).document();
        controls::fakes::TextDocument doc(text);
        controls::ControlFinder finder;
        for (int round = 0; round < 4; ++round) {
            std::vector<BlockLines> expected;
            for (Position line = 0; line < doc.lineCount(); ++line) {
                expected.push_back(controls::findControl(doc, line).lines);
            }
            // Lines in an order of their own, twice: the second time much is remembered.
            std::vector<Position> lines(static_cast<std::size_t>(doc.lineCount()));
            for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = static_cast<Position>(i);
            for (int pass = 0; pass < 2; ++pass) {
                std::shuffle(lines.begin(), lines.end(), rng);
                for (Position line : lines) {
                    ASSERT_EQ(finder.find(doc, line).lines, expected[static_cast<std::size_t>(line)])
                        << "round " << round << " line " << line << "\n"
                        << text;
                }
            }
            // An edit anywhere, told to the finder.
            const std::size_t at = std::uniform_int_distribution<std::size_t>(0, text.size())(rng);
            text.insert(at, snippets[std::uniform_int_distribution<int>(0, 9)(rng)]);
            doc.replace(0, static_cast<Position>(doc.str().size()), text);
            finder.changedFrom(static_cast<Position>(at));
        }
    }
}
