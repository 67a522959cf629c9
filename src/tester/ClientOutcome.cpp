#include "tester/ClientOutcome.h"

#include "base/TextCodec.h"

#include <cctype>

namespace tester {
namespace {

bool has(const std::string& text, const char* what) { return text.find(what) != std::string::npos; }

// The status line of the last answer the client reported ("HTTP request sent,
// awaiting response... 401 Unauthorized"); a login first meets the challenge,
// so only the last one counts. Empty when no answer came.
std::string lastStatus(const std::string& messages) {
    static const std::string marker = "awaiting response... ";
    std::string status;
    std::size_t at = 0;
    while ((at = messages.find(marker, at)) != std::string::npos) {
        at += marker.size();
        const std::size_t end = messages.find_first_of("\r\n", at);
        const std::string line = messages.substr(at, end == std::string::npos ? std::string::npos : end - at);
        // An answer starts with its three-digit code; "Read error ..." is none.
        if (line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
            std::isdigit(static_cast<unsigned char>(line[1])) && std::isdigit(static_cast<unsigned char>(line[2]))) {
            status = line;
        }
    }
    return status;
}

bool timedOutWaitingForAnswer(const std::string& messages) {
    return has(messages, "Read error") && (has(messages, "timed out") || has(messages, "Timed out"));
}

bool couldNotConnect(const std::string& messages) {
    return has(messages, "failed: ") || has(messages, "unable to resolve host") ||
           has(messages, "Name or service not known") || has(messages, "No route to host") ||
           has(messages, "Network is unreachable");
}

ActivationReport fromStatus(const std::string& status) {
    if (status.compare(0, 1, "2") == 0) return {Activation::Opened, status};
    if (status.compare(0, 3, "401") == 0) return {Activation::LoginRefused, status};
    return {Activation::ServerError, status};
}

// "reload the skin", "open window 10000".
std::wstring todo(const MediaCenterAction& action) {
    return action.kind == MediaCenterAction::ReloadSkin ? L"reload the skin" : L"open window " + action.windowId;
}

std::wstring pastTense(const MediaCenterAction& action) {
    return action.kind == MediaCenterAction::ReloadSkin ? L"reloaded the skin" : L"opened window " + action.windowId;
}

std::wstring notDone(const MediaCenterAction& action) {
    return action.kind == MediaCenterAction::ReloadSkin ? L"the skin was not reloaded"
                                                        : L"window " + action.windowId + L" was not opened";
}

// A request that did not (or not knowingly) go through.
std::wstring failureText(const ActivationReport& report, const std::wstring& address, const MediaCenterAction& action,
                         const std::wstring& clientFolder) {
    const std::wstring at = L"The media center at " + address;
    switch (report.result) {
    case Activation::Opened:
        return at + L" " + pastTense(action) + L".";
    case Activation::LoginRefused:
        return at + L" refused the login or password. Check them in the Options.";
    case Activation::Unreachable:
        return L"The media center could not be reached at " + address +
               L". Check the address in the Options and that the media center runs.";
    case Activation::NoAnswer:
        return at + L" did not answer in time.";
    case Activation::ClientMissing:
        return L"The client program wget.exe was not found in the folder \"" + clientFolder +
               L"\". Set its folder in the Options.";
    case Activation::ServerError:
        return at + L" answered with an error" +
               (report.status.empty() ? std::wstring() : L": " + text::fromUtf8(report.status)) + L".";
    case Activation::Sent:
        return L"The request to " + todo(action) + L" was sent to the media center at " + address +
               L"; the client told nothing of how it went.";
    case Activation::CredentialsUnfit:
        return L"The login or password begins or ends with a blank or holds a line break, which the client program "
               L"wget.exe cannot be given. Change it in the Options; nothing was sent.";
    case Activation::ConfigurationUnwritten:
        return L"The client's settings file could not be written to the temporary folder; nothing was sent.";
    case Activation::Failed:
        break;
    }
    return L"The client program wget.exe ended with an error; " + notDone(action) + L".";
}

}  // namespace

ActivationReport interpretClientRun(const ClientRun& run) {
    const std::string status = lastStatus(run.messages);
    switch (run.outcome) {
    case ClientOutcome::NotStarted:
        return {Activation::ClientMissing, ""};
    case ClientOutcome::Stopped:
        return {Activation::NoAnswer, status};
    case ClientOutcome::Unobserved:
        if (run.messages.empty()) return {Activation::Sent, ""};
        break;
    case ClientOutcome::CredentialsUnfit:
        return {Activation::CredentialsUnfit, ""};
    case ClientOutcome::ConfigurationUnwritten:
        return {Activation::ConfigurationUnwritten, ""};
    case ClientOutcome::Exited:
        break;
    }
    if (has(run.messages, "Authentication Failed")) return {Activation::LoginRefused, status};
    if (run.exitCode) {
        switch (*run.exitCode) {
        case 0:
            return {Activation::Opened, status};
        case 4:
            if (timedOutWaitingForAnswer(run.messages)) return {Activation::NoAnswer, status};
            return {Activation::Unreachable, status};
        case 6:
            return {Activation::LoginRefused, status};
        case 8:
            return status.empty() ? ActivationReport{Activation::ServerError, status} : fromStatus(status);
        default:
            return {Activation::Failed, status};
        }
    }
    // No exit status: the messages tell.
    if (!status.empty() && !timedOutWaitingForAnswer(run.messages)) return fromStatus(status);
    if (timedOutWaitingForAnswer(run.messages)) return {Activation::NoAnswer, status};
    if (couldNotConnect(run.messages)) return {Activation::Unreachable, status};
    return {Activation::Failed, status};
}

std::wstring askingText(const std::wstring& address, const std::vector<MediaCenterAction>& actions) {
    std::wstring what;
    for (const MediaCenterAction& action : actions) {
        if (!what.empty()) what += L" and ";
        what += todo(action);
    }
    return L"Asking the media center at " + address + L" to " + what + L"...";
}

std::wstring outcomeText(const std::vector<ActivationReport>& reports, const std::wstring& address,
                         const std::vector<MediaCenterAction>& actions, const std::wstring& clientFolder) {
    std::wstring text;
    std::wstring done;  // the requests that went through, since the last failure
    auto sentence = [&text](const std::wstring& s) { text += (text.empty() ? L"" : L" ") + s; };
    auto tellDone = [&] {
        if (!done.empty()) sentence(L"The media center at " + address + L" " + done + L".");
        done.clear();
    };
    for (std::size_t i = 0; i < reports.size() && i < actions.size(); ++i) {
        if (reports[i].result == Activation::Opened) {
            done += (done.empty() ? L"" : L" and ") + pastTense(actions[i]);
            continue;
        }
        tellDone();
        sentence(failureText(reports[i], address, actions[i], clientFolder));
    }
    tellDone();
    return text;
}

}  // namespace tester
