#include "editor/Localisation_win.h"

#include "npp/LocalisationRecords.h"
#include "npp/NppInterface.h"
#include "base/Module_win.h"
#include "editor/PluginContext.h"

#include <vector>

namespace plugin {
namespace {

using namespace localisation;

constexpr wchar_t kLocalisationPlugin[] = L"NativeLang.dll";
constexpr wchar_t kMenuName[] = L"&Quorrel";

void send(long code, void* record) {
    // Every notification of the host repeats the menu request: look the name up once.
    static const std::wstring source = win::moduleFileName(context().module);
    npp::CommunicationInfo info{code, source.c_str(), record};
    ::SendMessageW(context().npp.nppHandle, npp::NPPM_MSGTOPLUGIN, reinterpret_cast<WPARAM>(kLocalisationPlugin),
                   reinterpret_cast<LPARAM>(&info));
}

}  // namespace

bool translateText(const std::wstring& key, std::wstring& out, int bufferSize) {
    if (bufferSize <= 1 || context().npp.nppHandle == nullptr) return false;
    std::vector<wchar_t> buffer(static_cast<std::size_t>(bufferSize), L'\0');
    wchar_t* address = buffer.data();
    TextRequest request{0, key.c_str(), 0, bufferSize, &address};
    send(TranslateText, &request);
    if (request.result == 0) return false;
    buffer.back() = L'\0';
    out.assign(buffer.data());
    return true;
}

void translateDialog(HWND dialog, const wchar_t* name) {
    if (context().npp.nppHandle == nullptr) return;
    DialogRequest request{dialog, name};
    send(TranslateDialog, &request);
}

void translateMenu() {
    if (context().npp.nppHandle == nullptr) return;
    MenuRequest request{0, kMenuName, 0, context().commandCount, context().commands};
    send(TranslateMenu, &request);
}

}  // namespace plugin
