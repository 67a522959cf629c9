// Shared set-up of the Wine tests that load the plugin into the stand-in editor.
#pragma once

#include "Host.h"
#include "support/WineTestSupport.h"

#include <windows.h>

#include <memory>
#include <string>

namespace shelltest {

using wine_test::ScratchFolder;

// Writes a file into the folder and returns its path.
inline std::wstring writeFile(const ScratchFolder& folder, const std::wstring& name, const std::string& bytes) {
    const std::wstring path = folder.file(name);
    testsupport::writeFile(path, bytes);
    return path;
}

inline std::unique_ptr<host::Host> startHostWithPlugin(const std::wstring& configFolder,
                                                       std::vector<std::wstring> plugins = {L"Quorrel"},
                                                       std::wstring pluginRoot = {}) {
    host::Options options;
    options.pluginRoot = pluginRoot.empty() ? host::exeFolder() + L"\\plugins" : pluginRoot;
    options.configFolder = configFolder;
    options.plugins = std::move(plugins);
    options.show = true;
    return host::Host::create(options);
}

}  // namespace shelltest
