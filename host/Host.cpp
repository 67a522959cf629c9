// Placeholder implementation: compiles and links; the windows come next.
#include "Host.h"

namespace host {

struct Host::Impl {
    std::vector<std::wstring> trace, log;
    std::vector<PluginMessage> messages;
    std::vector<DockingRegistration> registrations;
    std::vector<MenuCheck> checks;
    std::vector<Notification> notifications;
};

std::unique_ptr<Host> Host::create(const Options&, std::wstring* error) {
    if (error != nullptr) *error = L"not implemented yet";
    return nullptr;
}
Host::Host(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Host::~Host() = default;
HWND Host::mainWindow() const { return nullptr; }
HWND Host::view(int) const { return nullptr; }
int Host::currentViewIndex() const { return 0; }
void Host::setCurrentView(int) {}
HWND Host::currentView() const { return nullptr; }
std::vector<std::wstring> Host::loadedPlugins() const { return {}; }
std::vector<std::wstring> Host::refusedPlugins() const { return {}; }
const std::vector<std::wstring>& Host::loadTrace() const { return impl_->trace; }
HMODULE Host::pluginModule(const std::wstring&) const { return nullptr; }
bool Host::unloadPlugin(const std::wstring&) { return false; }
bool Host::reloadPlugin(const std::wstring&) { return false; }
bool Host::openFile(const std::wstring&, std::wstring*) { return false; }
std::wstring Host::currentPath() const { return {}; }
std::string Host::documentBytes() const { return {}; }
bool Host::saveCurrentAs(const std::wstring&) { return false; }
bool Host::activateDocument(const std::wstring&) { return false; }
bool Host::setCaret(int, int) { return false; }
int Host::commandId(const std::wstring&, const std::wstring&) const { return -1; }
bool Host::runMenu(const std::wstring&, const std::wstring&) { return false; }
bool Host::isChecked(const std::wstring&, const std::wstring&) const { return false; }
bool Host::isCheckedId(int) const { return false; }
std::wstring Host::acceleratorText(const std::wstring&, const std::wstring&) const { return {}; }
Container Host::containerOf(HWND) const { return Container::Unknown; }
HWND Host::containerWindow(Container) const { return nullptr; }
bool Host::closePanel(HWND) { return false; }
bool Host::dockPanel(HWND, Container) { return false; }
std::vector<HWND> Host::panels() const { return {}; }
std::vector<HWND> Host::modelessDialogs() const { return {}; }
CommandResult Host::runLine(const std::wstring&) { return {}; }
bool Host::runScript(const std::wstring&, const std::wstring&) { return false; }
const std::vector<std::wstring>& Host::log() const { return impl_->log; }
void Host::pump(int) {}
int Host::run() { return 1; }
const std::vector<PluginMessage>& Host::pluginMessages() const { return impl_->messages; }
const std::vector<DockingRegistration>& Host::dockingRegistrations() const { return impl_->registrations; }
const std::vector<MenuCheck>& Host::menuChecks() const { return impl_->checks; }
const std::vector<Notification>& Host::notifications() const { return impl_->notifications; }
void Host::clearRecords() {}
bool Host::setClipboardText(const std::wstring&) { return false; }
std::wstring Host::clipboardText() const { return {}; }
void Host::shutdown() {}
bool Host::isShutDown() const { return true; }
std::wstring exeFolder() { return {}; }

}  // namespace host
