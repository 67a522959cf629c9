#include "render/IdleConditions.h"

#include "render/WindowSource.h"

#include <array>

namespace render {

namespace {

Truth negate(Truth t) {
    return t == Truth::Unknown ? t : (t == Truth::True ? Truth::False : Truth::True);
}
Truth both(Truth a, Truth b) {
    if (a == Truth::False || b == Truth::False) return Truth::False;
    return a == Truth::True && b == Truth::True ? Truth::True : Truth::Unknown;
}
Truth either(Truth a, Truth b) {
    if (a == Truth::True || b == Truth::True) return Truth::True;
    return a == Truth::False && b == Truth::False ? Truth::False : Truth::Unknown;
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// The text between a term's first "(" and its last ")".
std::string_view argumentsOf(std::string_view term) {
    const std::size_t open = term.find('(');
    const std::size_t close = term.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return {};
    return trimmed(term.substr(open + 1, close - open - 1));
}

// Prefixes of terms that an idle media center answers false: nothing plays,
// no library content, no skin setting, no dialog over the window.
constexpr std::array kIdleFalse = {
    std::string_view("player."), std::string_view("videoplayer."), std::string_view("musicplayer."),
    std::string_view("playlist."), std::string_view("pvr.isplaying"), std::string_view("pvr.isrecording"),
    std::string_view("slideshow."), std::string_view("musicpartymode."), std::string_view("library.hascontent("),
    std::string_view("library.isscanning"), std::string_view("skin.hassetting("), std::string_view("skin.string("),
    std::string_view("skin.hastheme("), std::string_view("system.hasactivemodaldialog"),
    std::string_view("system.hasvisiblemodaldialog"), std::string_view("listitem.isplaying"),
    std::string_view("system.hasmediadisc"),
};

constexpr std::size_t kMostTerms = 20000;

class Evaluator {
public:
    Evaluator(std::string_view text, const IdleState& state, int depth, std::size_t& work)
        : t_(text), state_(state), depth_(depth), work_(work) {}

    Truth run() {
        if (depth_ > kDeepestCondition) return Truth::Unknown;
        Truth result = orTerm();
        skipBlanks();
        return broken_ || i_ != t_.size() ? Truth::Unknown : result;
    }

private:
    void skipBlanks() {
        while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\t' || t_[i_] == '\r' || t_[i_] == '\n')) ++i_;
    }
    bool take(char c) {
        skipBlanks();
        if (i_ < t_.size() && t_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    Truth orTerm() {
        Truth r = andTerm();
        while (!broken_ && take('|')) r = either(r, andTerm());
        return r;
    }
    Truth andTerm() {
        Truth r = unary();
        while (!broken_ && take('+')) r = both(r, unary());
        return r;
    }
    Truth unary() {
        if (++nesting_ + depth_ > kDeepestCondition) {
            broken_ = true;
            return Truth::Unknown;
        }
        Truth r = Truth::Unknown;
        if (take('!')) {
            r = negate(unary());
        } else if (take('[')) {
            r = orTerm();
            if (!take(']')) broken_ = true;
        } else {
            r = term();
        }
        --nesting_;
        return r;
    }
    // A term runs to the next "+", "|" or "]" outside its own brackets.
    Truth term() {
        skipBlanks();
        const std::size_t begin = i_;
        int inner = 0;
        for (; i_ < t_.size(); ++i_) {
            const char c = t_[i_];
            if (c == '(' || c == '[') {
                ++inner;
            } else if ((c == ')' || c == ']') && inner > 0) {
                --inner;
            } else if (inner == 0 && (c == '+' || c == '|' || c == ']')) {
                break;
            }
        }
        const std::string_view raw = trimmed(t_.substr(begin, i_ - begin));
        if (raw.empty() || inner != 0) {
            broken_ = true;
            return Truth::Unknown;
        }
        return answer(raw);
    }

    Truth answer(std::string_view raw) {
        // Expressions that name each other twice over would double the work
        // at every level: past a budget of terms, the answer is Unknown.
        if (++work_ > kMostTerms) return Truth::Unknown;
        const std::string term = lowered(raw);
        if (term == "true" || term == "yes" || term == "1") return Truth::True;
        if (term == "false" || term == "no" || term == "0") return Truth::False;
        if (startsWith(term, "$exp[") && term.back() == ']') {
            const std::string_view name = trimmed(raw.substr(5, raw.size() - 6));
            if (!state_.expression) return Truth::Unknown;
            const auto text = state_.expression(name);
            if (!text) return Truth::Unknown;
            return Evaluator(*text, state_, depth_ + nesting_ + 1, work_).run();
        }
        for (std::string_view prefix : kIdleFalse) {
            if (startsWith(term, prefix)) return Truth::False;
        }
        const std::string_view args = argumentsOf(raw);
        if (startsWith(term, "string.isempty(")) return Truth::True;
        if (startsWith(term, "string.isequal(") || startsWith(term, "string.contains(") ||
            startsWith(term, "string.startswith(") || startsWith(term, "string.endswith(")) {
            // The info label is empty: only an empty text matches it.
            const std::size_t comma = args.find(',');
            if (comma == std::string_view::npos) return Truth::Unknown;
            return trimmed(args.substr(comma + 1)).empty() ? Truth::True : Truth::False;
        }
        if (startsWith(term, "control.hasfocus(")) {
            if (args.empty()) return Truth::Unknown;
            return !state_.defaultControl.empty() && args == state_.defaultControl ? Truth::True : Truth::False;
        }
        if (startsWith(term, "window.isactive(") || startsWith(term, "window.isvisible(") ||
            startsWith(term, "window.istopmost(") || startsWith(term, "window.is(")) {
            const std::string name = lowered(args);
            if (name.empty()) return Truth::Unknown;
            if (name == lowered(state_.windowName) || (!state_.windowId.empty() && name == state_.windowId))
                return Truth::True;
            // A number names some window; without this window's id, which is unknown.
            const bool numeric = name.find_first_not_of("0123456789") == std::string::npos;
            return numeric && state_.windowId.empty() ? Truth::Unknown : Truth::False;
        }
        return Truth::Unknown;
    }

    std::string_view t_;
    const IdleState& state_;
    int depth_ = 0;
    int nesting_ = 0;
    std::size_t& work_;
    std::size_t i_ = 0;
    bool broken_ = false;
};

}  // namespace

Truth EvaluateIdle(std::string_view condition, const IdleState& state) {
    if (trimmed(condition).empty()) return Truth::Unknown;
    std::size_t work = 0;
    return Evaluator(condition, state, 0, work).run();
}

}  // namespace render
