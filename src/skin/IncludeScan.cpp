#include "skin/IncludeScan.h"

#include "skin/MediaPaths.h"
#include "base/FileAccess.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdio>

namespace skin {

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
    files::FilePtr file = files::open(path, "rb");
    if (!file) {
        return false;
    }
    bytes.clear();
    char buffer[16384];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, got);
    }
    return std::ferror(file.get()) == 0;
}

namespace {

// The root "includes" element of an includes file, or null when the file is
// missing or not well-formed.
const TiXmlElement* includesRoot(const FileReader& readFile, const std::wstring& path, TiXmlDocument& doc) {
    std::string bytes;
    if (!readFile || !readFile(path, bytes)) {
        return nullptr;
    }
    doc.Parse(bytes.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    if (doc.Error()) {
        return nullptr;
    }
    return doc.FirstChildElement("includes");
}

void appendAttribute(const TiXmlElement& element, const char* name, std::vector<std::wstring>& out) {
    const char* value = element.Attribute(name);
    if (value && *value) {
        out.push_back(preview::DecodeSkinText(value));
    }
}

void replaceAll(std::wstring& s, const std::wstring& what, const std::wstring& with) {
    if (what.empty()) {
        return;
    }
    for (std::size_t at = s.find(what); at != std::wstring::npos; at = s.find(what, at + with.size())) {
        s.replace(at, what.size(), with);
    }
}

}  // namespace

IncludeScan ScanIncludes(const FileReader& readFile, const std::wstring& includesPath, int depth) {
    IncludeScan scan;
    scan.paths.push_back(includesPath);
    TiXmlDocument doc;
    const TiXmlElement* root = includesRoot(readFile, includesPath, doc);
    if (!root) {
        return scan;
    }
    scan.rootRead = true;
    for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
        appendAttribute(*e, "file", scan.files);
        appendAttribute(*e, "name", scan.names);
    }
    std::vector<std::wstring> level = scan.files;
    for (int d = 1; d <= depth && !level.empty(); ++d) {
        std::vector<std::wstring> next;
        for (const std::wstring& file : level) {
            std::wstring path = includesPath;
            replaceAll(path, L"includes.xml", file);
            // A file listed twice, or a loop of files listing each other, is read once.
            if (d > 1 && std::find(scan.paths.begin(), scan.paths.end(), path) != scan.paths.end()) {
                continue;
            }
            scan.paths.push_back(path);
            TiXmlDocument nested;
            const TiXmlElement* nestedRoot = includesRoot(readFile, path, nested);
            if (!nestedRoot) {
                continue;
            }
            for (const TiXmlElement* e = nestedRoot->FirstChildElement(); e; e = e->NextSiblingElement()) {
                appendAttribute(*e, "name", scan.names);
                if (d < depth) {
                    appendAttribute(*e, "file", next);
                }
            }
        }
        level = std::move(next);
    }
    return scan;
}

}  // namespace skin
