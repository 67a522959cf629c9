// Translation requests to the editor's localisation plugin ("NativeLang.dll").
// Without that plugin nothing answers and the built-in English texts stay.
#include "editor/NppEditor_win.h"

#include "npp/LocalisationRecords.h"
#include "npp/NppInterface.h"

#include <vector>

namespace editor {
namespace {

using namespace localisation;

constexpr wchar_t kLocalisationPlugin[] = L"NativeLang.dll";

}  // namespace

void NppEditor::sendToLocalisation(long code, void* record) const {
    npp::CommunicationInfo info{code, moduleName_.c_str(), record};
    toHost(npp::NPPM_MSGTOPLUGIN, reinterpret_cast<WPARAM>(kLocalisationPlugin), reinterpret_cast<LPARAM>(&info));
}

bool NppEditor::translateText(const std::wstring& key, std::wstring& out, int bufferSize) {
    if (bufferSize <= 1 || npp_.nppHandle == nullptr) return false;
    std::vector<wchar_t> buffer(static_cast<std::size_t>(bufferSize), L'\0');
    wchar_t* address = buffer.data();
    TextRequest request{0, key.c_str(), 0, bufferSize, &address};
    sendToLocalisation(TranslateText, &request);
    if (request.result == 0) return false;
    buffer.back() = L'\0';
    out.assign(buffer.data());
    return true;
}

void NppEditor::translateDialog(HWND dialog, const wchar_t* name) {
    if (npp_.nppHandle == nullptr) return;
    DialogRequest request{dialog, name};
    sendToLocalisation(TranslateDialog, &request);
}

void NppEditor::translateMenu(const wchar_t* menuName) const {
    if (npp_.nppHandle == nullptr) return;
    MenuRequest request{0, menuName, 0, commandCount_, commands_};
    sendToLocalisation(TranslateMenu, &request);
}

}  // namespace editor
