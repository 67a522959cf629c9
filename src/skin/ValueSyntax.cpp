#include "skin/ValueSyntax.h"

#include <algorithm>
#include <vector>

namespace skin {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

bool conditionFault(std::string_view t, std::size_t begin, std::size_t end, ConditionFault& fault) {
    const std::string_view c = t.substr(begin, end - begin);
    if (trim(c).empty()) {
        fault = {begin, "the condition is empty"};
        return true;
    }
    if (c.find("$PARAM[") != std::string_view::npos) return false;  // its text is known only where it is called
    struct Open {
        char kind;  // '(' a call, '[' a group, '$' the brackets of a $WORD[...]
        std::size_t at;
    };
    std::vector<Open> open;
    auto inCall = [&] { return std::any_of(open.begin(), open.end(), [](const Open& o) { return o.kind != '['; }); };
    auto previous = [&](std::size_t k) -> char {
        while (k > 0 && isBlank(c[k - 1])) --k;
        return k == 0 ? '\0' : c[k - 1];
    };
    auto next = [&](std::size_t k) -> char {
        ++k;
        while (k < c.size() && isBlank(c[k])) ++k;
        return k == c.size() ? '\0' : c[k];
    };
    for (std::size_t k = 0; k < c.size(); ++k) {
        const char ch = c[k];
        if (ch == '"') {
            const std::size_t q = c.find('"', k + 1);
            if (q == std::string_view::npos) break;
            k = q;
            continue;
        }
        if (ch == '$') {
            std::size_t w = k + 1;
            while (w < c.size() && isUpper(c[w])) ++w;
            if (w > k + 1 && w < c.size() && c[w] == '[') {
                open.push_back({'$', begin + w});
                k = w;
            }
            continue;
        }
        // Inside a call's parentheses a bracket is the argument's own text
        // (but the one closing a $WORD[...]).
        const bool inParentheses = std::any_of(open.begin(), open.end(), [](const Open& o) { return o.kind == '('; });
        if (inParentheses && (ch == '[' || (ch == ']' && open.back().kind != '$'))) continue;
        if (ch == '(' || ch == '[') {
            open.push_back({ch, begin + k});
            continue;
        }
        if (ch == ')' || ch == ']') {
            const char want = ch == ')' ? '(' : '[';
            const bool matches = !open.empty() && (open.back().kind == want || (ch == ']' && open.back().kind == '$'));
            if (!matches) {
                fault = {begin + k, std::string("'") + ch + "' without its '" + want + "'"};
                return true;
            }
            open.pop_back();
            continue;
        }
        if (inCall()) continue;  // a call's arguments are its own text
        if (ch == '+' || ch == '|') {
            const char before = previous(k);
            const char after = next(k);
            if (before == '\0' || std::string_view("([+|!").find(before) != std::string_view::npos || after == '\0' ||
                std::string_view(")]+|").find(after) != std::string_view::npos) {
                fault = {begin + k, std::string("'") + ch + "' with nothing on one side"};
                return true;
            }
        } else if (ch == '!') {
            const char after = next(k);
            if (after == '\0' || std::string_view(")]+|").find(after) != std::string_view::npos) {
                fault = {begin + k, "'!' with nothing after it"};
                return true;
            }
        }
    }
    if (!open.empty()) {
        const char kind = open.back().kind == '(' ? '(' : '[';
        fault = {open.back().at, std::string("'") + kind + "' is not closed"};
        return true;
    }
    return false;
}

bool looksHex(std::string_view v) {
    if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) return true;
    return !v.empty() && std::all_of(v.begin(), v.end(), isHex) && std::any_of(v.begin(), v.end(), isDigit);
}

bool validHex(std::string_view v) {
    if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) v.remove_prefix(2);
    const bool zero = !v.empty() && std::all_of(v.begin(), v.end(), [](char c) { return c == '0'; });
    return zero || (v.size() == 8 && std::all_of(v.begin(), v.end(), isHex));
}

}  // namespace skin
