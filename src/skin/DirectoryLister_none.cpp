// Native builds serve the unit tests, which hand SkinResources a lister of
// their own; there the default lister finds nothing.
#include "skin/DirectoryReader.h"

namespace {

class EmptyLister : public DirectoryLister {
public:
    bool list(const std::wstring&, std::vector<DirItem>&) override { return false; }
    FileStamp stamp(const std::wstring&) override { return FileStamp{}; }
};

}  // namespace

std::unique_ptr<DirectoryLister> makePlatformDirectoryLister() { return std::make_unique<EmptyLister>(); }
