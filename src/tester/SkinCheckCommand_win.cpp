#include "tester/SkinCheckCommand_win.h"

#include "base/TextCodec.h"
#include "skin/DirectoryReader.h"
#include "skin/SkinReferences.h"

#include <commctrl.h>

#include <memory>

namespace tester {

namespace {

constexpr UINT_PTR kDoubleClickSubclass = 0x5143;  // one subclass of ours per edit box

std::wstring withinFolder(const std::wstring& folder, const std::wstring& path) {
    if (!folder.empty() && path.size() > folder.size() + 1 &&
        skin::ReferenceKey(path.substr(0, folder.size())) == skin::ReferenceKey(folder)) {
        return path.substr(folder.size() + 1);
    }
    return path;
}

}  // namespace

void WriteCheckText(SkinCheckReport& report) {
    const std::vector<skin::CheckFinding>& findings = report.result.findings;
    std::size_t errors = 0;
    for (const skin::CheckFinding& finding : findings) {
        if (finding.rule != nullptr && finding.rule->severity == skin::Severity::Error) ++errors;
    }
    const std::size_t warnings = findings.size() - errors;
    std::wstring summary = L"Checked " + std::to_wstring(report.result.files) +
                           (report.result.files == 1 ? L" file: " : L" files: ") + std::to_wstring(errors) +
                           (errors == 1 ? L" error, " : L" errors, ") + std::to_wstring(warnings) +
                           (warnings == 1 ? L" warning" : L" warnings");
    const auto counts = skin::CountByRule(findings);
    for (std::size_t i = 0; i < counts.size(); ++i) {
        summary +=
            (i == 0 ? L" (" : L", ") + text::fromUtf8(counts[i].first->id) + L" " + std::to_wstring(counts[i].second);
    }
    if (!counts.empty()) summary += L")";
    summary += report.result.cancelled ? L"; cancelled." : L".";

    report.text.clear();
    report.lineFindings.clear();
    const auto addLine = [&report](const std::wstring& line, const skin::CheckFinding* finding) {
        report.text += line + L"\r\n";
        report.lineFindings.push_back(finding);
    };
    addLine(summary, nullptr);
    for (const std::wstring& problem : report.problems) addLine(L"Not read: " + problem, nullptr);
    std::wstring file;
    for (const skin::CheckFinding& finding : findings) {
        if (finding.rule == nullptr) continue;
        if (file.empty() || skin::ReferenceKey(file) != skin::ReferenceKey(finding.at.path)) {
            file = finding.at.path;
            addLine(withinFolder(report.skinFolder, file), nullptr);
        }
        std::wstring line = L"  ";
        if (finding.at.line > 0) {
            line += std::to_wstring(finding.at.line) + L":" + std::to_wstring(finding.at.column + 1) + L" ";
        }
        line += text::fromUtf8(std::string(skin::severityName(finding.rule->severity)) + ": " + finding.message + " [" +
                               finding.rule->id + "]");
        // A whole file (an image, a bundle entry) is no place in a text.
        addLine(line, finding.at.line > 0 ? &finding : nullptr);
    }
}

bool SkinCheckCommand::start(ProgressWindow& progress, HINSTANCE instance, HWND owner, const std::wstring& windowFolder,
                             std::function<void()> ended) {
    auto report = std::make_shared<SkinCheckReport>();
    ProgressWindow::Task task;
    task.title = L"Check skin";
    task.unit = L"files";
    skin::SkinModelOptions options;
    options.imageElements = imageElements_;
    options.coreStringsPath = coreStrings_;
    options.coreColoursPath = coreColours_;
    task.work = [windowFolder, options, report](ProgressWindow& window) {
        // Everything the check reads is its own: nothing is shared with the
        // editor's thread while it runs (the files on disk are checked, as a
        // build would check them).
        const std::unique_ptr<DirectoryLister> lister = makePlatformDirectoryLister();
        skin::SkinModel model(*lister, skin::ReadWholeFile, skin::ReadBundleInfo, options);
        window.setCurrent(windowFolder);
        model.refresh(windowFolder);
        skin::SkinChecker checker;
        report->result = checker.checkSkin(model, [&window](std::size_t done, std::size_t total) {
            window.setTotal(total);
            window.setDone(done);
            return !window.cancelFlag().cancelled();
        });
        report->skinFolder = model.skinFolder();
        for (const skin::ModelProblem& problem : model.problems()) {
            report->problems.push_back(withinFolder(model.skinFolder(), problem.path) + L" (" +
                                       text::fromUtf8(problem.reason) + L")");
        }
        WriteCheckText(*report);
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

const skin::CheckFinding* SkinCheckCommand::findingOnLine(int line) const {
    if (!checked_ || line < 0 || static_cast<std::size_t>(line) >= report_.lineFindings.size()) return nullptr;
    return report_.lineFindings[static_cast<std::size_t>(line)];
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
