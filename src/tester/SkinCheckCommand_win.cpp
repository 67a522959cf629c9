#include "tester/SkinCheckCommand_win.h"

#include "skin/DirectoryReader.h"
#include "skin/SkinIndex.h"

#include <commctrl.h>

#include <memory>

namespace tester {

namespace {

constexpr UINT_PTR kDoubleClickSubclass = 0x5143;  // one subclass of ours per edit box

}  // namespace

bool SkinCheckCommand::start(ProgressWindow& progress, HINSTANCE instance, HWND owner, const std::wstring& windowFolder,
                             std::function<void()> ended) {
    auto report = std::make_shared<skin::SkinCheckReport>();
    ProgressWindow::Task task;
    task.title = L"Check skin";
    task.unit = L"files";
    const std::vector<std::wstring> imageElements = imageElements_;
    task.work = [windowFolder, imageElements, report](ProgressWindow& window) {
        // Everything the check reads is its own: nothing is shared with the
        // editor's thread while it runs.
        const std::unique_ptr<DirectoryLister> lister = makePlatformDirectoryLister();
        skin::SkinIndex index(*lister, skin::ReadWholeFile, skin::ReadBundleNames);
        const skin::ReferenceRules rules(imageElements);
        *report = skin::CheckWindowFolder(windowFolder, *lister, skin::ReadWholeFile, index, rules,
                                          [&window](std::size_t done, std::size_t total, const std::wstring& file) {
                                              window.setTotal(total);
                                              window.setDone(done);
                                              if (!file.empty()) window.setCurrent(file);
                                              return !window.cancelFlag().cancelled();
                                          });
    };
    task.finished = [this, report, ended = std::move(ended)](bool) {
        running_ = false;
        report_ = std::move(*report);
        checked_ = true;
        if (ended) ended();
    };
    running_ = progress.start(instance, owner, std::move(task));
    return running_;
}

std::wstring SkinCheckCommand::resultsText() const {
    if (!checked_) return std::wstring();
    std::wstring text = skin::SummaryLine(report_) + L"\r\n";
    for (const skin::Finding& finding : report_.missing) text += skin::FindingLine(finding) + L"\r\n";
    return text;
}

const skin::Finding* SkinCheckCommand::findingOnLine(int line) const {
    if (!checked_ || line < 1 || static_cast<std::size_t>(line) > report_.missing.size()) return nullptr;
    return &report_.missing[static_cast<std::size_t>(line) - 1];
}

namespace {

LRESULT CALLBACK doubleClicks(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR target) {
    try {
        if (message == WM_LBUTTONDBLCLK) {
            // The box selects the word first; the caret is then on the line clicked.
            const LRESULT result = ::DefSubclassProc(edit, message, wParam, lParam);
            const LRESULT line = ::SendMessageW(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0);
            ::PostMessageW(reinterpret_cast<HWND>(target), kPaneLineChosen, static_cast<WPARAM>(line), 0);
            return result;
        }
        if (message == WM_NCDESTROY) ::RemoveWindowSubclass(edit, &doubleClicks, kDoubleClickSubclass);
    } catch (...) {
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

void ReportDoubleClicks(HWND edit, HWND target) {
    if (edit != nullptr)
        ::SetWindowSubclass(edit, &doubleClicks, kDoubleClickSubclass, reinterpret_cast<DWORD_PTR>(target));
}

void StopReportingDoubleClicks(HWND edit) {
    if (edit != nullptr) ::RemoveWindowSubclass(edit, &doubleClicks, kDoubleClickSubclass);
}

}  // namespace tester
