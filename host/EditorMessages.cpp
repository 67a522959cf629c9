// The editor messages plugins send to the main window, answered as the editor
// answers them, and recorded where a test wants to see them.
#include "HostImpl.h"

#include "npp/LocalisationRecords.h"

#include <algorithm>
#include <climits>
#include <cwchar>

namespace host {
namespace {

// Copies a text into a plugin's buffer of `size` characters: with a null
// buffer the answer is the length; a buffer without room for the text and its
// NUL is refused and left as it was.
LRESULT answerText(const std::wstring& text, WPARAM size, LPARAM buffer) {
    if (buffer == 0) return static_cast<LRESULT>(text.size());
    if (size <= text.size()) return FALSE;
    std::wmemcpy(reinterpret_cast<wchar_t*>(buffer), text.c_str(), text.size() + 1);
    return TRUE;
}

}  // namespace

npp::DarkModeColors darkColours() {
    npp::DarkModeColors c{};
    c.background = RGB(0x20, 0x20, 0x20);
    c.softerBackground = RGB(0x2B, 0x2B, 0x2B);
    c.hotBackground = RGB(0x40, 0x40, 0x40);
    c.pureBackground = RGB(0x00, 0x00, 0x00);
    c.errorBackground = RGB(0xB0, 0x00, 0x00);
    c.text = RGB(0xE0, 0xE0, 0xE0);
    c.darkerText = RGB(0xC0, 0xC0, 0xC0);
    c.disabledText = RGB(0x80, 0x80, 0x80);
    c.linkText = RGB(0x6E, 0xB4, 0xFF);
    c.edge = RGB(0x64, 0x64, 0x64);
    c.hotEdge = RGB(0x9B, 0x9B, 0x9B);
    c.disabledEdge = RGB(0x48, 0x48, 0x48);
    return c;
}

LRESULT Host::Impl::hostMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (msg) {
    case npp::NPPM_GETCURRENTSCINTILLA:
        if (lParam != 0) *reinterpret_cast<int*>(lParam) = frame.currentView;
        return TRUE;
    case npp::NPPM_MODELESSDIALOG: {
        auto& modeless = docking.modeless;
        HWND dlg = reinterpret_cast<HWND>(lParam);
        if (wParam == npp::MODELESSDIALOGADD) {
            if (std::find(modeless.begin(), modeless.end(), dlg) == modeless.end()) modeless.push_back(dlg);
        } else if (wParam == npp::MODELESSDIALOGREMOVE) {
            modeless.erase(std::remove(modeless.begin(), modeless.end(), dlg), modeless.end());
        }
        return lParam;
    }
    case npp::NPPM_DMMSHOW:
        showPanel(reinterpret_cast<HWND>(lParam), true);
        return TRUE;
    case npp::NPPM_DMMHIDE:
        showPanel(reinterpret_cast<HWND>(lParam), false);
        return TRUE;
    case npp::NPPM_DMMUPDATEDISPINFO:
        updatePanelInfo(reinterpret_cast<HWND>(lParam));
        return TRUE;
    case npp::NPPM_DMMREGASDCKDLG:
        if (lParam != 0) registerPanel(*reinterpret_cast<const npp::tTbData*>(lParam));
        return TRUE;
    case npp::NPPM_SETMENUITEMCHECK:
        records.checks.push_back(MenuCheck{static_cast<int>(wParam), lParam != 0});
        CheckMenuItem(frame.menuBar, static_cast<UINT>(wParam),
                      MF_BYCOMMAND | (lParam != 0 ? MF_CHECKED : MF_UNCHECKED));
        return TRUE;
    case npp::NPPM_GETPLUGINSCONFIGDIR:
        return answerText(plugins.configFolder, wParam, lParam);
    case npp::NPPM_GETPLUGINHOMEPATH:
        return answerText(plugins.root, wParam, lParam);
    case npp::NPPM_MSGTOPLUGIN:
        return messageToPlugin(wParam, lParam);
    case npp::NPPM_GETCURRENTDIRECTORY:
    case npp::NPPM_GETFILENAME: {
        Document* doc = current();
        std::wstring value;
        if (doc != nullptr) value = msg == npp::NPPM_GETFILENAME ? fileNameOf(doc->path) : folderOf(doc->path);
        if (lParam == 0) return FALSE;  // no length queries here
        return answerText(value, wParam, lParam);
    }
    case npp::NPPM_GETCURRENTBUFFERID: {
        Document* doc = current();
        return doc != nullptr ? static_cast<LRESULT>(doc->bufferId) : 0;
    }
    case npp::NPPM_GETFULLPATHFROMBUFFERID: {
        // As the editor does: the length, and the path copied without a bound.
        for (const auto& doc : documents.open) {
            if (doc->bufferId != wParam) continue;
            if (lParam != 0) std::wmemcpy(reinterpret_cast<wchar_t*>(lParam), doc->path.c_str(), doc->path.size() + 1);
            return static_cast<LRESULT>(doc->path.size());
        }
        return -1;
    }
    case npp::NPPM_GETCURRENTLINE: {
        auto pos = send(frame.currentView, npp::SCI_GETCURRENTPOS);
        return send(frame.currentView, npp::SCI_LINEFROMPOSITION, static_cast<WPARAM>(pos));
    }
    case npp::NPPM_DOOPEN:
        return lParam != 0 && open(reinterpret_cast<const wchar_t*>(lParam), nullptr) ? TRUE : FALSE;
    case npp::NPPM_ISDARKMODEENABLED:
        return darkMode.enabled ? TRUE : FALSE;
    case npp::NPPM_GETDARKMODECOLORS:
        if (wParam != sizeof(npp::DarkModeColors) || lParam == 0) return FALSE;
        *reinterpret_cast<npp::DarkModeColors*>(lParam) = darkColours();
        return TRUE;
    case npp::NPPM_DARKMODESUBCLASSANDTHEME: {
        // Recorded for tests; the host themes nothing itself.
        HWND window = reinterpret_cast<HWND>(lParam);
        records.themeRequests.push_back(ThemeRequest{window, wParam});
        return window != nullptr && IsWindow(window) ? TRUE : FALSE;
    }
    case npp::NPPM_ALLOCATEINDICATOR:
        return allocateIndicators(wParam, lParam);
    default:
        handled = false;
        return 0;
    }
}

LRESULT Host::Impl::messageToPlugin(WPARAM wParam, LPARAM lParam) {
    PluginMessage record;
    const wchar_t* target = reinterpret_cast<const wchar_t*>(wParam);
    auto* info = reinterpret_cast<npp::CommunicationInfo*>(lParam);
    if (target != nullptr) record.target = target;
    if (info != nullptr) {
        record.internalMsg = info->internalMsg;
        if (info->srcModuleName != nullptr) record.source = info->srcModuleName;
        if (info->internalMsg == localisation::TranslateText && info->info != nullptr) {
            const auto* request = static_cast<const localisation::TextRequest*>(info->info);
            if (request->key != nullptr) record.key = request->key;
        }
    }
    Plugin* destination = nullptr;
    if (target != nullptr) {
        for (auto& p : plugins.loaded)
            if (p->module && p->fileName == record.target) destination = p.get();
    }
    record.delivered = destination != nullptr && info != nullptr;
    records.messages.push_back(record);
    if (!record.delivered) return FALSE;
    destination->messageProc(npp::NPPM_MSGTOPLUGIN, wParam, lParam);
    return TRUE;
}

LRESULT Host::Impl::allocateIndicators(WPARAM count, LPARAM first) {
    IndicatorAllocation allocation;
    allocation.count = static_cast<int>(std::min<WPARAM>(count, INT_MAX));
    const auto left = static_cast<WPARAM>(kLastPluginIndicator - indicators.next + 1);
    bool granted = !indicators.refuse && first != 0 && count > 0 && count <= left;
    if (granted) {
        allocation.first = indicators.next;
        *reinterpret_cast<int*>(first) = indicators.next;
        indicators.next += static_cast<int>(count);
    }
    records.indicatorAllocations.push_back(allocation);
    return granted ? TRUE : FALSE;
}

void Host::Impl::setDarkMode(bool dark) {
    if (darkMode.enabled == dark) return;
    darkMode.enabled = dark;
    notifyAll(npp::NPPN_DARKMODECHANGED);
}

// ---------------------------------------------------------------------------

const std::vector<PluginMessage>& Host::pluginMessages() const { return impl_->records.messages; }
const std::vector<DockingRegistration>& Host::dockingRegistrations() const { return impl_->records.registrations; }
const std::vector<MenuCheck>& Host::menuChecks() const { return impl_->records.checks; }
const std::vector<Notification>& Host::notifications() const { return impl_->records.notifications; }
const std::vector<ThemeRequest>& Host::themeRequests() const { return impl_->records.themeRequests; }
const std::vector<IndicatorAllocation>& Host::indicatorAllocations() const {
    return impl_->records.indicatorAllocations;
}

void Host::clearRecords() { impl_->records = Records{}; }

void Host::setDarkMode(bool dark) { impl_->setDarkMode(dark); }
bool Host::isDarkMode() const { return impl_->darkMode.enabled; }
npp::DarkModeColors Host::darkModeColours() const { return darkColours(); }
const std::vector<std::string>& Host::callTips() const { return impl_->records.callTips; }

void Host::refuseIndicators(bool refuse) { impl_->indicators.refuse = refuse; }

}  // namespace host
