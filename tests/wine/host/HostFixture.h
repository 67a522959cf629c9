// A fresh host per test, with its own temporary folder, and access to what the
// test plugin recorded.
#pragma once

#include "Host.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hosttest {

using testsupport::narrow;
using testsupport::readFile;
using testsupport::writeFile;

constexpr wchar_t kTestPlugin[] = L"QuorrelTestPlugin";
constexpr wchar_t kTestMenu[] = L"&Test Plugin";

class HostTest : public ::testing::Test {
protected:
    void TearDown() override { host_.reset(); }

    // Starts the host on the test plugins (or the given plugin root). Hidden
    // unless asked: under Xvfb, Wine waits for a window manager on every hide
    // or destroy of a shown top-level window.
    void start(std::vector<std::wstring> plugins = {kTestPlugin}, std::wstring root = L"", bool show = false) {
        host::Options options;
        options.show = show;
        options.pluginRoot = root.empty() ? host::exeFolder() + L"\\testplugins" : root;
        options.configFolder = folder_ + L"\\config";
        options.plugins = std::move(plugins);
        options.files = files_;
        std::wstring error;
        host_ = host::Host::create(options, &error);
        ASSERT_TRUE(host_) << std::string(error.begin(), error.end());
    }

    template <typename Fn>
    Fn pluginExport(const char* name) const {
        HMODULE module = host_->pluginModule(kTestPlugin);
        return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
    }

    std::vector<std::wstring> events() const {
        std::vector<std::wstring> out;
        auto count = pluginExport<int (*)()>("testEventCount");
        auto event = pluginExport<const wchar_t* (*)(int)>("testEvent");
        if (!count || !event) return out;
        for (int i = 0; i < count(); ++i) out.push_back(event(i));
        return out;
    }

    bool sawEvent(const std::wstring& e) const {
        for (const auto& x : events())
            if (x == e) return true;
        return false;
    }

    void clearEvents() const {
        if (auto clear = pluginExport<void (*)()>("testClearEvents")) clear();
    }

    std::wstring path(const std::wstring& name) const { return folder_ + L"\\" + name; }

    testsupport::ScratchFolder scratch_{L"host"};
    std::wstring folder_ = scratch_.path();
    std::vector<std::wstring> files_;  // opened at start-up
    std::unique_ptr<host::Host> host_;
};

}  // namespace hosttest
