// Generated window files with every layout a hand-written skin shows, and
// random edits of random tags: each edit must give exactly the document a
// careful hand would produce, and reading the control again must give the
// new value.
#include "unit/controls/CaretTrackerTestSupport.h"

#include <random>

using controls::Position;
using controls::fakes::TrackerFixture;

namespace {

struct Element {
    std::string tag;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::size_t begin = 0;
    std::size_t end = 0;
};

// What the generator knows about the document it wrote, kept up to date
// through the edits independently of the code under test.
struct Model {
    std::string text;
    std::string eol;
    Position startLine = 0;
    Position caretLine = 0;
    std::vector<Element> elements;   // the control's children in order
    std::size_t closeLineStart = 0;  // offset of the line holding "</control>"
};

std::string escaped(const std::string& value) {
    std::string out;
    for (char c : value) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string printed(const Element& e, const std::string& value) {
    std::string out = "<" + e.tag;
    for (const auto& [name, v] : e.attributes) out += " " + name + "=\"" + v + "\"";
    return out + ">" + escaped(value) + "</" + e.tag + ">";
}

int lineOf(const std::string& text, std::size_t offset) {
    int line = 0;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\r' && i + 1 < offset && text[i + 1] == '\n') continue;
        if (text[i] == '\n' || text[i] == '\r') ++line;
    }
    return line;
}

int indentationBefore(const std::string& text, std::size_t lineStart) {
    // The line above: back over its line end, then to its start.
    std::size_t end = lineStart;
    if (end > 0 && text[end - 1] == '\n') --end;
    if (end > 0 && text[end - 1] == '\r') --end;
    std::size_t start = end;
    while (start > 0 && text[start - 1] != '\n' && text[start - 1] != '\r') --start;
    int columns = 0;
    for (std::size_t i = start; i < end && (text[i] == ' ' || text[i] == '\t'); ++i) {
        columns = text[i] == ' ' ? columns + 1 : (columns / 4 + 1) * 4;
    }
    return columns;
}

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return pick(100) < percent; }

    std::string word() {
        static const char* const words[] = {
            "60",     "focus.png", "buttons/nofocus.png", "ActivateWindow(Videos)",   "true",
            "font13", "ffe0e0e0",  "Caf\xC3\xA9",         "\xE6\x97\xA5\xE6\x9C\xAC", "x"};
        return words[pick(10)];
    }

    std::string value() {
        static const char* const parts[] = {"a",        "Z9",           "&", "<",      ">",   "'", "\"",
                                            "\xC3\xA9", "\xE2\x80\x94", "-", "Videos", "1280"};
        std::string v;
        const int n = pick(5);
        for (int i = 0; i < n; ++i) {
            if (i > 0 && chance(30)) v += ' ';
            v += parts[pick(12)];
        }
        return v;
    }

    std::string indentUnit() {
        static const char* const units[] = {"\t", "  ", "    ", " \t"};
        return units[pick(4)];
    }

    Model document(const std::vector<std::string>& tagPool) {
        Model m;
        static const char* const eols[] = {"\n", "\r\n", "\r"};
        m.eol = eols[pick(10) < 5 ? 0 : (pick(10) < 8 ? 1 : 2)];
        const std::string unit = indentUnit();
        const std::string i1 = unit, i2 = unit + unit;
        std::string& t = m.text;
        t += "<window>" + m.eol + i1 + "<controls>" + m.eol;
        if (chance(50)) {
            t += i1 + "<control type=\"label\" id=\"1\">" + m.eol + i2 + "<posx>1</posx>" + m.eol + i1 + "</control>" +
                 m.eol;
            if (chance(50)) t += m.eol;
        }
        const std::size_t startOffset = t.size();
        t += i1 + "<control type=\"button\" id=\"" + std::to_string(pick(9000)) + "\">" + m.eol;

        std::vector<std::string> pool = tagPool;
        std::shuffle(pool.begin(), pool.end(), rng_);
        const int children = 1 + pick(8);
        bool lineOpen = false;  // an element was written on the current line without its line end
        for (int c = 0; c < children; ++c) {
            if (!lineOpen) {
                if (chance(15)) t += m.eol;
                if (chance(15)) t += i2 + "<!-- was <" + pool[c] + ">0</" + pool[c] + "> -->" + m.eol;
                if (chance(8))
                    t += i2 + "<!--" + m.eol + i2 + "  disabled: <" + pool[c] + ">1</" + pool[c] + ">" + m.eol + i2 +
                         "-->" + m.eol;
                t += i2;
            }
            Element e;
            e.tag = pool[c];
            if (chance(30)) e.attributes.push_back({"border", std::to_string(pick(9))});
            if (chance(15)) e.attributes.push_back({"diffuse", "a.png"});
            e.begin = t.size();
            t += "<" + e.tag;
            for (std::size_t a = 0; a < e.attributes.size(); ++a) {
                // Attributes spread over lines, as animations and includes often are.
                t += (a > 0 && chance(50)) ? m.eol + i2 + "      " : std::string(" ");
                t += e.attributes[a].first + "=\"" + e.attributes[a].second + "\"";
            }
            t += ">" + escaped(word()) + "</" + e.tag + ">";
            e.end = t.size();
            m.elements.push_back(e);
            lineOpen = chance(20);  // two elements on one line
            if (lineOpen) {
                if (chance(50)) t += " ";
                if (chance(30)) t += "<!-- and -->";
            } else {
                t += m.eol;
            }
        }
        if (lineOpen) t += m.eol;
        m.closeLineStart = t.size();
        t += i1 + "</control>" + m.eol + i1 + "</controls>" + m.eol + "</window>" + m.eol;
        m.startLine = lineOf(t, startOffset);
        m.caretLine = m.startLine + pick(lineOf(t, m.closeLineStart) - lineOf(t, startOffset) + 1);
        return m;
    }

private:
    std::mt19937 rng_;
};

// Applies the edit the way a careful hand would, on the model.
void expectEdit(Model& m, const std::string& tag, const std::string& value) {
    for (std::size_t i = 0; i < m.elements.size(); ++i) {
        Element& e = m.elements[i];
        if (e.tag != tag) continue;
        const std::string text = printed(e, value);
        const std::ptrdiff_t delta =
            static_cast<std::ptrdiff_t>(text.size()) - static_cast<std::ptrdiff_t>(e.end - e.begin);
        m.text.replace(e.begin, e.end - e.begin, text);
        e.end = e.begin + text.size();
        for (std::size_t j = i + 1; j < m.elements.size(); ++j) {
            m.elements[j].begin += delta;
            m.elements[j].end += delta;
        }
        m.closeLineStart += delta;
        return;
    }
    Element e;
    e.tag = tag;
    const std::string indent(static_cast<std::size_t>(indentationBefore(m.text, m.closeLineStart)), ' ');
    e.begin = m.closeLineStart + indent.size();
    const std::string line = indent + printed(e, value) + m.eol;
    m.text.insert(m.closeLineStart, line);
    e.end = m.closeLineStart + line.size() - m.eol.size();
    m.closeLineStart += line.size();
    m.elements.push_back(e);
}

}  // namespace

using CaretEditProperty = TrackerFixture;

TEST_F(CaretEditProperty, EveryEditChangesOnlyTheEditedElementAndReadsBack) {
    const ControlTemplate button = panel.cat.templateFor(L"button");
    std::vector<std::string> tags;
    for (const auto& [tag, value] : button) {
        if (tag != L"type") tags.push_back(text::toUtf8(tag));
    }

    for (unsigned seed = 1; seed <= 250; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Generator gen(seed);
        Model model = gen.document(tags);
        tracker.bufferActivated();
        open(model.text, model.caretLine);
        ASSERT_EQ(panel.cat.currentType(), L"button");
        ASSERT_EQ(tracker.lines().start, model.startLine) << model.text;

        for (int edit = 0; edit < 4; ++edit) {
            const std::string tag =
                gen.chance(60)
                    ? model.elements[static_cast<std::size_t>(gen.pick(static_cast<int>(model.elements.size())))].tag
                    : tags[static_cast<std::size_t>(gen.pick(static_cast<int>(tags.size())))];
            const std::string value = gen.value();
            expectEdit(model, tag, value);
            tracker.writeBack(text::fromUtf8(tag), text::fromUtf8(value));
            ASSERT_EQ(doc.str(), model.text) << "edit " << edit << " of " << tag << " status "
                                             << text::toUtf8(panel.status) << " caret " << model.caretLine;
            ASSERT_EQ(tracker.lines().end, lineOf(model.text, model.closeLineStart));
            editorEcho();
        }

        // Read afresh, the control holds every value written.
        const ControlTemplate written = panel.cat.templateFor(L"button");
        tracker.bufferActivated();
        moveTo(model.caretLine);
        for (const Element& e : model.elements) {
            EXPECT_EQ(panel.value(text::fromUtf8(e.tag)), written.at(text::fromUtf8(e.tag))) << e.tag;
        }
    }
}
