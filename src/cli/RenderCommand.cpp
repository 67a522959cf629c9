#include "cli/RenderCommand.h"

#include <ctime>
#include <filesystem>
#include <memory>

#include "base/Files.h"
#include "base/TextCodec.h"
#include "cli/ImageElements.h"
#include "cli/SkinPaths.h"
#include "cli/Usage.h"
#include "render/ExpandedSource.h"
#include "render/WindowRenderer.h"
#include "skin/DirectoryReader.h"
#include "skin/ExpandedWindow.h"
#include "skin/IncludeScan.h"
#include "skin/SkinModel.h"
#include "textures/PngCodec.h"

namespace cli {
namespace {

bool parseSize(const std::wstring& text, int& width, int& height) {
    const std::size_t x = text.find_first_of(L"xX");
    if (x == std::wstring::npos) return false;
    try {
        std::size_t used = 0;
        width = std::stoi(text.substr(0, x), &used);
        if (used != x) return false;
        height = std::stoi(text.substr(x + 1), &used);
        if (used != text.size() - x - 1) return false;
    } catch (const std::exception&) {
        return false;
    }
    return width > 0 && height > 0 && width <= render::kLargestPicture && height <= render::kLargestPicture &&
           static_cast<long long>(width) * height <= render::kMostPicturePixels;
}

std::string clockNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (const std::tm* t = std::localtime(&now)) local = *t;
    char text[8];
    std::strftime(text, sizeof text, "%H:%M", &local);
    return text;
}

}  // namespace

int runRender(const std::vector<std::wstring>& options, Console& console) {
    int width = 0, height = 0;
    std::vector<std::wstring> paths;
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i] == L"--size") {
            if (i + 1 >= options.size() || !parseSize(options[i + 1], width, height))
                return usage(console, L"--size takes WIDTHxHEIGHT (1 to 8192 each, 7680x4320 pixels in all)");
            ++i;
        } else if (!options[i].empty() && options[i][0] == L'-') {
            return usage(console, L"unknown option " + options[i] + L" for render");
        } else {
            paths.push_back(options[i]);
        }
    }
    if (paths.size() != 2) return usage(console, L"render takes a window file and the PNG file to write");

    std::error_code error;
    const std::filesystem::path absolute =
        std::filesystem::absolute(std::filesystem::u8path(text::toUtf8(paths[0])), error).lexically_normal();
    const std::wstring windowFile = modelPath(text::fromUtf8(absolute.u8string()));
    const std::size_t slash = windowFile.find_last_of(L'\\');
    std::string text;
    if (error || slash == std::wstring::npos || !skin::ReadWholeFile(systemPath(windowFile), text)) {
        console.err(L"quorrel: cannot read " + paths[0]);
        return kUsage;
    }
    const std::wstring windowFolder = windowFile.substr(0, slash);
    std::wstring name = windowFile.substr(slash + 1);
    if (name.size() > 4 && render::lowered(text::toUtf8(name.substr(name.size() - 4))) == ".xml") name.resize(name.size() - 4);

    const std::unique_ptr<DirectoryLister> lister = makePlatformDirectoryLister();
    skin::SkinModelOptions modelOptions;
    modelOptions.imageElements = imageElements();
    const skin::FileReader reader = [](const std::wstring& path, std::string& bytes) {
        return skin::ReadWholeFile(systemPath(path), bytes);
    };
    skin::SkinModel model(
        *lister, reader,
        [](const std::wstring& path, std::vector<skin::BundleEntryInfo>& entries) {
            return skin::ReadBundleInfo(systemPath(path), entries);
        },
        modelOptions);
    model.refresh(windowFolder);

    // The window as the media center builds it (includes put in place); a
    // file the model could not expand is drawn from its own text alone.
    render::WindowSource source;
    std::string reason;
    render::Node own;
    const bool wellFormed = render::ReadWindowText(text, 0, own, reason);
    if (!wellFormed) console.err(systemPath(windowFile) + L": " + text::fromUtf8(reason));
    if (const skin::ExpandedWindow* expanded = model.expandedWindow(windowFile)) {
        source = render::SourceOf(*expanded);
    } else if (wellFormed) {
        source.files.push_back(windowFile);
        source.window = std::move(own);
    } else {
        return kFailed;
    }
    render::RenderOptions renderOptions;
    renderOptions.windowName = text::toUtf8(name);
    renderOptions.time = clockNow();
    const std::wstring folderName = windowFolder.substr(windowFolder.find_last_of(L'\\') + 1);
    std::string addon;
    const std::wstring skinFolder = windowFolder.substr(0, windowFolder.find_last_of(L'\\'));
    if (!reader(skinFolder + L"\\addon.xml", addon) ||
        !render::ResolutionOf(addon, text::toUtf8(folderName), renderOptions.skinWidth, renderOptions.skinHeight)) {
        // Without a manifest that says, the folder's usual name tells.
        const std::string f = render::lowered(text::toUtf8(folderName));
        if (f == "720p") {
            renderOptions.skinWidth = 1280;
            renderOptions.skinHeight = 720;
        }
        console.err(L"quorrel: no <res> for the folder " + folderName + L" in addon.xml: drawn at " +
                    std::to_wstring(renderOptions.skinWidth) + L"x" + std::to_wstring(renderOptions.skinHeight));
    }
    renderOptions.width = width;
    renderOptions.height = height;

    render::SkinAssets assets(model, reader);
    const render::Rendering rendering = render::RenderWindow(source, assets, renderOptions);
    for (const render::LeftOut& left : rendering.leftOut) {
        const std::wstring file = left.file < source.files.size() ? systemPath(source.files[left.file]) : L"?";
        console.err(file + L":" + std::to_wstring(left.line) + L": " + text::fromUtf8(left.type) + L": " +
                    text::fromUtf8(left.why));
    }
    std::vector<std::uint8_t> png;
    if (rendering.picture.empty() || !textures::encodePng(rendering.picture, png) ||
        !files::writeWhole(paths[1], png.data(), png.size(), false)) {
        console.err(L"quorrel: cannot write " + paths[1]);
        return kFailed;
    }
    return kDone;
}

}  // namespace cli
