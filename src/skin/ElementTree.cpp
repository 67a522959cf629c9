#include "skin/ElementTree.h"

#include "skin/SkinScanText.h"

#include <algorithm>

namespace skin {

using namespace scan;

bool SameNameFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        char x = a[k];
        char y = b[k];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

namespace {

struct Open {
    std::uint32_t node;
    std::uint32_t lastChild;
};

}  // namespace

ElementTree::ElementTree(std::string_view text) : text_(text.substr(0, std::min<std::size_t>(text.size(), kNone - 1))) {
    const std::string_view t = text_;
    const std::size_t n = t.size();
    std::vector<Open> open;
    std::uint32_t lastRoot = kNone;
    auto link = [&](std::uint32_t index) {
        if (open.empty()) {
            if (lastRoot != kNone) nodes_[lastRoot].nextSibling = index;
            lastRoot = index;
            return;
        }
        Open& up = open.back();
        if (up.lastChild == kNone) {
            nodes_[up.node].firstChild = index;
        } else {
            nodes_[up.lastChild].nextSibling = index;
        }
        up.lastChild = index;
    };
    auto addText = [&](std::size_t begin, std::size_t end) {
        if (open.empty()) return;
        Node& e = nodes_[open.back().node];
        if (e.textEnd != e.textBegin) return;
        const Span s = trimmed(t, {begin, end});
        if (s.begin == s.end) return;
        e.textBegin = static_cast<std::uint32_t>(s.begin);
        e.textEnd = static_cast<std::uint32_t>(s.end);
    };
    std::size_t i = 0;
    while (i < n) {
        if (t[i] != '<') {
            const std::size_t next = std::min(t.find('<', i), n);
            addText(i, next);
            i = next;
            continue;
        }
        if (t.compare(i, 4, "<!--") == 0) {
            const std::size_t close = t.find("-->", i + 4);
            i = close == std::string_view::npos ? n : close + 3;
            continue;
        }
        if (t.compare(i, 9, "<![CDATA[") == 0) {
            const std::size_t close = std::min(t.find("]]>", i + 9), n);
            addText(i + 9, close);
            i = std::min(close + 3, n);
            continue;
        }
        if (i + 1 < n && (t[i + 1] == '?' || t[i + 1] == '!')) {
            const std::size_t close = t.find('>', i + 2);
            i = close == std::string_view::npos ? n : close + 1;
            continue;
        }
        if (i + 1 < n && t[i + 1] == '/') {
            std::size_t j = i + 2;
            while (j < n && isNameChar(t[j])) ++j;
            const std::string_view name = t.substr(i + 2, j - i - 2);
            const std::size_t close = t.find('>', j);
            i = close == std::string_view::npos ? n : close + 1;
            // Closes the nearest open element of that name; a misspelt end
            // closes the open element.
            std::size_t k = open.size();
            while (k > 0 && !SameNameFolded(this->name(nodes_[open[k - 1].node]), name)) --k;
            if (k == 0) k = open.size();
            for (; k > 0 && open.size() >= k; open.pop_back()) nodes_[open.back().node].end = static_cast<std::uint32_t>(i);
            continue;
        }
        if (i + 1 >= n || !isNameStart(t[i + 1])) {
            ++i;
            continue;
        }
        Node node;
        node.tag = static_cast<std::uint32_t>(i);
        std::size_t j = i + 1;
        while (j < n && isNameChar(t[j])) ++j;
        node.nameEnd = static_cast<std::uint32_t>(j);
        bool selfClosing = false;
        char quote = 0;
        for (; j < n; ++j) {
            const char c = t[j];
            if (quote != 0) {
                if (c == quote) quote = 0;
                continue;
            }
            if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '<') {
                selfClosing = true;  // a start tag not closed: nothing is inside it
                break;
            } else if (c == '>') {
                selfClosing = j > i && t[j - 1] == '/';
                ++j;
                break;
            }
        }
        if (j >= n && quote != 0) selfClosing = true;
        node.tagEnd = static_cast<std::uint32_t>(std::min(j, n));
        node.textBegin = node.textEnd = node.end = node.tagEnd;
        const auto index = static_cast<std::uint32_t>(nodes_.size());
        nodes_.push_back(node);
        link(index);
        if (!selfClosing) open.push_back({index, kNone});
        i = std::min(j, n);
    }
    for (const Open& o : open) nodes_[o.node].end = static_cast<std::uint32_t>(n);
}

ElementTree::Value ElementTree::attribute(const Node& n, std::string_view wanted) const {
    const std::string_view t = text_;
    std::size_t j = n.nameEnd;
    const std::size_t end = n.tagEnd;
    while (j < end) {
        while (j < end && !isNameStart(t[j])) ++j;
        const std::size_t nameStart = j;
        while (j < end && isNameChar(t[j])) ++j;
        const std::string_view name = t.substr(nameStart, j - nameStart);
        while (j < end && isBlank(t[j])) ++j;
        if (j >= end || t[j] != '=') continue;
        ++j;
        while (j < end && isBlank(t[j])) ++j;
        if (j >= end || (t[j] != '"' && t[j] != '\'')) continue;
        const std::size_t close = t.find(t[j], j + 1);
        if (close == std::string_view::npos || close >= end) return {};
        if (SameNameFolded(name, wanted)) {
            return {true, static_cast<std::uint32_t>(j + 1), static_cast<std::uint32_t>(close)};
        }
        j = close + 1;
    }
    return {};
}

std::uint32_t ElementTree::child(const Node& n, std::string_view wanted) const {
    for (std::uint32_t c = n.firstChild; c != kNone; c = nodes_[c].nextSibling) {
        if (SameNameFolded(name(nodes_[c]), wanted)) return c;
    }
    return kNone;
}

}  // namespace skin
