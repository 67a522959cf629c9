// The skin model's expanded windows: each window file built as the media
// center builds it, with the include definitions of its window folder, again
// whenever the files change.
#include "skin/SkinModelImpl.h"

#include <algorithm>

namespace skin {

Location LocateInFile(const SkinFile& f, std::size_t begin, std::size_t end) {
    Location at;
    at.path = f.path;
    if (f.lineStarts.empty()) return at;
    const auto it = std::upper_bound(f.lineStarts.begin(), f.lineStarts.end(), begin);
    const std::size_t line = static_cast<std::size_t>(it - f.lineStarts.begin());
    at.line = static_cast<std::uint32_t>(line);
    at.column = static_cast<std::uint32_t>(begin - f.lineStarts[line - 1]);
    at.length = static_cast<std::uint32_t>(end - begin);
    return at;
}

void SkinModel::Impl::expandWindows() {
    libraries.clear();
    expanded.clear();
    for (std::size_t w = 0; w < windowFolders.size(); ++w) {
        std::vector<const SkinFile*> includeFiles;
        for (const std::wstring& key : includeOrder) {
            for (std::size_t k = 0; k < files.size(); ++k) {
                if (fileWindowFolder[k] == w && files[k]->role == FileRole::Includes && keyOf(files[k]->path) == key)
                    includeFiles.push_back(files[k].get());
            }
        }
        libraries.push_back(std::make_unique<IncludeLibrary>());
        libraries.back()->build(includeFiles);
    }
    for (std::size_t k = 0; k < files.size(); ++k) {
        if (files[k]->role != FileRole::Window || fileWindowFolder[k] >= libraries.size()) continue;
        expanded.push_back(ExpandWindow(*files[k], *libraries[fileWindowFolder[k]]));
    }
}

void SkinModel::Impl::expandAfterEdit(const SkinFile& edited) {
    if (edited.role != FileRole::Window) {
        expandWindows();
        return;
    }
    for (std::size_t k = 0; k < files.size(); ++k) {
        if (files[k].get() != &edited || fileWindowFolder[k] >= libraries.size()) continue;
        for (auto& window : expanded) {
            if (&window->windowFile() == &edited) window = ExpandWindow(edited, *libraries[fileWindowFolder[k]]);
        }
    }
}

const std::vector<std::unique_ptr<ExpandedWindow>>& SkinModel::expandedWindows() const { return impl_->expanded; }

const ExpandedWindow* SkinModel::expandedWindow(const std::wstring& path) const {
    const SkinFile* f = impl_->find(path);
    if (!f) return nullptr;
    for (const auto& window : impl_->expanded) {
        if (&window->windowFile() == f) return window.get();
    }
    return nullptr;
}

}  // namespace skin
