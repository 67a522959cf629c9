// What a run of GNU Wget means, from its exit status and, where the system
// gives none (a Linux program under Wine), from its messages alone. The
// messages are GNU Wget's own, as it printed them against a loopback server.
#include "tester/ClientOutcome.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using tester::Activation;
using tester::ActivationReport;
using tester::ClientOutcome;
using tester::ClientRun;
using tester::MediaCenterAction;

namespace {

const char* const kOpened =
    "--2026-12-08 00:27:51--  "
    "http://127.0.0.1:43003/ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=ActivateWindow(10000)\n"
    "Connecting to 127.0.0.1:43003... connected.\n"
    "HTTP request sent, awaiting response... 401 Unauthorized\n"
    "Authentication selected: Basic realm=\"Ormu\"\n"
    "Reusing existing connection to 127.0.0.1:43003.\n"
    "HTTP request sent, awaiting response... 200 OK\n"
    "Length: 19 [text/html]\n"
    "Saving to: 'STDOUT'\n\n"
    "2026-12-08 00:27:51 (437 B/s) - written to stdout [19/19]\n";
const char* const kRefused =
    "Connecting to 127.0.0.1:43003... connected.\n"
    "HTTP request sent, awaiting response... 401 Unauthorized\n"
    "Authentication selected: Basic realm=\"Ormu\"\n"
    "Reusing existing connection to 127.0.0.1:43003.\n"
    "HTTP request sent, awaiting response... 401 Unauthorized\n\n"
    "Username/Password Authentication Failed.\n";
const char* const kClosedPort = "Connecting to 127.0.0.1:46309... failed: Connection refused.\n";
const char* const kNoHost =
    "Resolving ormu.invalid (ormu.invalid)... failed: Name or service not known.\n"
    "wget: unable to resolve host address 'ormu.invalid'\n";
const char* const kSilent =
    "Connecting to 127.0.0.1:53027... connected.\n"
    "HTTP request sent, awaiting response... Read error (Connection timed out) in headers.\nGiving up.\n\n";
const char* const kNotFound =
    "HTTP request sent, awaiting response... 404 Not Found\n"
    "2026-12-08 00:27:51 ERROR 404: Not Found.\n";

ClientRun run(ClientOutcome outcome, std::optional<int> code, const char* messages) {
    return ClientRun{outcome, code, messages};
}

}  // namespace

TEST(ClientOutcome, FromTheExitStatusAndFromTheMessagesAloneAlike) {
    struct Case {
        const char* messages;
        int code;
        Activation expected;
    } cases[] = {
        {kOpened, 0, Activation::Opened},          {kRefused, 6, Activation::LoginRefused},
        {kClosedPort, 4, Activation::Unreachable}, {kNoHost, 4, Activation::Unreachable},
        {kSilent, 4, Activation::NoAnswer},        {kNotFound, 8, Activation::ServerError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.messages);
        EXPECT_EQ(tester::interpretClientRun(run(ClientOutcome::Exited, c.code, c.messages)).result, c.expected);
        EXPECT_EQ(tester::interpretClientRun(run(ClientOutcome::Unobserved, std::nullopt, c.messages)).result,
                  c.expected);
    }
    // The status counts, not the challenge before the login.
    EXPECT_EQ(tester::interpretClientRun(run(ClientOutcome::Exited, 8, kNotFound)).status, "404 Not Found");
    EXPECT_EQ(tester::interpretClientRun(run(ClientOutcome::Exited, 0, kOpened)).status, "200 OK");
    // A refused login can come as an error answer too.
    EXPECT_EQ(
        tester::interpretClientRun(run(ClientOutcome::Exited, 8, "awaiting response... 401 Unauthorized\n")).result,
        Activation::LoginRefused);
}

TEST(ClientOutcome, NotStartedEndedByTheBoundOrUnexplained) {
    EXPECT_EQ(tester::interpretClientRun(run(ClientOutcome::NotStarted, std::nullopt, "")).result,
              Activation::ClientMissing);
    EXPECT_EQ(tester::interpretClientRun(run(ClientOutcome::Stopped, std::nullopt, "Connecting to h... ")).result,
              Activation::NoAnswer);
    EXPECT_EQ(tester::interpretClientRun(run(ClientOutcome::Exited, 2, "wget: unrecognized option\n")).result,
              Activation::Failed);
    EXPECT_EQ(tester::interpretClientRun(run(ClientOutcome::Unobserved, std::nullopt, "")).result, Activation::Sent);
}

TEST(ClientOutcome, TellsItInWords) {
    const auto open = MediaCenterAction::openWindow(L"10000");
    const auto reload = MediaCenterAction::reloadSkin();
    const auto text = [](std::vector<ActivationReport> reports, std::vector<MediaCenterAction> actions) {
        return tester::outcomeText(reports, L"192.168.1.5:8080", actions, L"C:\\tools\\wget");
    };
    const ActivationReport opened{Activation::Opened, "200 OK"};
    EXPECT_EQ(text({opened}, {open}), L"The media center at 192.168.1.5:8080 opened window 10000.");
    EXPECT_EQ(text({{Activation::LoginRefused, ""}}, {open}),
              L"The media center at 192.168.1.5:8080 refused the login or password. Check them in the Options.");
    EXPECT_EQ(
        text({{Activation::ClientMissing, ""}}, {open}),
        L"The client program wget.exe was not found in the folder \"C:\\tools\\wget\". Set its folder in the Options.");
    EXPECT_EQ(text({{Activation::ServerError, "404 Not Found"}}, {open}),
              L"The media center at 192.168.1.5:8080 answered with an error: 404 Not Found.");
    EXPECT_EQ(text({{Activation::Failed, ""}}, {reload}),
              L"The client program wget.exe ended with an error; the skin was not reloaded.");

    // A round: what went through together, then the request that failed (the
    // rest were not sent).
    EXPECT_EQ(text({opened, opened}, {reload, open}),
              L"The media center at 192.168.1.5:8080 reloaded the skin and opened window 10000.");
    EXPECT_EQ(text({opened, {Activation::NoAnswer, ""}}, {reload, open}),
              L"The media center at 192.168.1.5:8080 reloaded the skin. The media center at 192.168.1.5:8080 did not "
              L"answer in time.");
    EXPECT_EQ(text({{Activation::LoginRefused, ""}}, {reload, open}),
              L"The media center at 192.168.1.5:8080 refused the login or password. Check them in the Options.");
    EXPECT_EQ(tester::askingText(L"h:1", {reload, open}),
              L"Asking the media center at h:1 to reload the skin and open window 10000...");

    // Credentials that cannot be handed over send nothing, and say why.
    const ClientRun unfit{ClientOutcome::CredentialsUnfit, std::nullopt, ""};
    EXPECT_EQ(tester::interpretClientRun(unfit).result, Activation::CredentialsUnfit);
    EXPECT_EQ(text({tester::interpretClientRun(unfit)}, {reload}),
              L"The login or password begins or ends with a blank or holds a line break, which the client program "
              L"wget.exe cannot be given. Change it in the Options; nothing was sent.");
}
