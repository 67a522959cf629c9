#include "tester/ClientCommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using tester::buildActivationCommand;
using tester::splitCommandLine;

namespace {

std::wstring url(const std::wstring& ip, const std::wstring& id) {
    return L"http://" + ip + L"/ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=ActivateWindow(" + id + L")";
}

// The argv the client gets for the given settings.
std::vector<std::wstring> clientArgv(const std::wstring& ip, const std::wstring& login, const std::wstring& password,
                                     const std::wstring& wgetPath, const std::wstring& window) {
    return splitCommandLine(buildActivationCommand(ip, login, password, wgetPath, window).commandLine);
}

std::vector<std::wstring> expectedArgv(const std::wstring& program, const std::wstring& login,
                                       const std::wstring& password, const std::wstring& url) {
    return {program,
            L"--timeout=10",
            L"--tries=1",
            L"--output-document=-",
            L"--output-file=-",
            L"--http-user=" + login,
            L"--http-password=" + password,
            url};
}

}  // namespace

TEST(ClientCommandLine, OrdinaryValuesKeepTheirPlainForm) {
    const auto command =
        buildActivationCommand(L"192.168.1.5:8080", L"ormu", L"secret", L"C:\\tools\\wget", L"home.xml");
    EXPECT_EQ(command.program, L"C:\\tools\\wget\\wget.exe");
    EXPECT_EQ(command.currentDirectory, L"C:\\tools\\wget");
    EXPECT_EQ(
        command.commandLine,
        L"\"C:\\tools\\wget\\wget.exe\" --timeout=10 --tries=1 --output-document=- --output-file=- --http-user=ormu "
        L"--http-password=secret "
        L"\"http://192.168.1.5:8080/ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=ActivateWindow(10000)\"");
}

TEST(ClientCommandLine, ProgramPathAndFolderFollowTheTypedFolder) {
    const auto plain = buildActivationCommand(L"h", L"u", L"p", L"C:\\tools\\wget", L"home.xml");
    const auto slashed = buildActivationCommand(L"h", L"u", L"p", L"C:\\tools\\wget\\", L"home.xml");
    EXPECT_EQ(plain.program, slashed.program);
    EXPECT_EQ(slashed.currentDirectory, L"C:\\tools\\wget\\");

    const auto empty = buildActivationCommand(L"h", L"u", L"p", L"", L"home.xml");
    EXPECT_EQ(empty.program, L"\\wget.exe");
    EXPECT_EQ(empty.currentDirectory, L"");
    EXPECT_EQ(splitCommandLine(empty.commandLine).front(), L"\\wget.exe");
}

TEST(ClientCommandLine, ArgumentsReachTheClientAsIntended) {
    const std::wstring prog = L"C:\\tools\\wget\\wget.exe";
    EXPECT_EQ(clientArgv(L"host:8080", L"", L"", L"C:\\tools\\wget", L"custom.xml"),
              expectedArgv(prog, L"", L"", url(L"host:8080", L"custom.xml")));

    // Blanks, quotes, backslashes before quotes and at the end, option-like
    // text: each value stays inside its own argument.
    const std::wstring hostile[] = {
        L"two words",
        L"say \"hi\"",
        L"back\\\"slash",
        L"ends with\\",
        L"ends with \\\\",
        L"x --output-document=C:\\evil.bat",
        L"\" -O C:\\evil.bat \"",
        L"\\\\\"\"\"",
        L"tab\there",
        L"-e",
    };
    for (const std::wstring& value : hostile) {
        EXPECT_EQ(clientArgv(L"h", value, value, L"C:\\tools\\wget", L"home.xml"),
                  expectedArgv(prog, value, value, url(L"h", L"10000")))
            << std::string(value.begin(), value.end());
        EXPECT_EQ(clientArgv(value, L"u", L"p", L"C:\\tools\\wget\\", L"home.xml"),
                  expectedArgv(prog, L"u", L"p", url(value, L"10000")));
    }
    EXPECT_EQ(clientArgv(L"h", L"u", L"p", L"C:\\my tools\\wget", L"home.xml").front(),
              L"C:\\my tools\\wget\\wget.exe");
}

TEST(ClientCommandLine, WindowIdsAreEncodedForTheQuery) {
    EXPECT_EQ(tester::percentEncode(L"mywindow.xml"), L"mywindow.xml");
    EXPECT_EQ(tester::percentEncode(L"a b&c=d#e%f.xml"), L"a%20b%26c%3Dd%23e%25f.xml");
    EXPECT_EQ(tester::percentEncode(L"x)(y\".xml"), L"x%29%28y%22.xml");
    EXPECT_EQ(tester::percentEncode(L"\u00E9t\u00E9.xml"), L"%C3%A9t%C3%A9.xml");
    EXPECT_EQ(clientArgv(L"h", L"u", L"p", L"C:\\w", L"My Window&x.xml").back(), url(L"h", L"my%20window%26x.xml"));
}

TEST(ClientCommandLine, SplitterFollowsTheSystemRules) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(splitCommandLine(L"prog a b"), (V{L"prog", L"a", L"b"}));
    EXPECT_EQ(splitCommandLine(L"\"C:\\a b\\p.exe\"  x"), (V{L"C:\\a b\\p.exe", L"x"}));
    EXPECT_EQ(splitCommandLine(L"p \"a b\" c"), (V{L"p", L"a b", L"c"}));
    EXPECT_EQ(splitCommandLine(L"p a\\\\b"), (V{L"p", L"a\\\\b"}));
    EXPECT_EQ(splitCommandLine(L"p a\\\\\"b c\""), (V{L"p", L"a\\b c"}));
    EXPECT_EQ(splitCommandLine(L"p a\\\\\\\"b"), (V{L"p", L"a\\\"b"}));
    EXPECT_EQ(splitCommandLine(L"p \"\" x"), (V{L"p", L"", L"x"}));
    EXPECT_EQ(splitCommandLine(L"p \"a\"\"\"b\""), (V{L"p", L"a\"b"}));
    EXPECT_EQ(splitCommandLine(L"p"), (V{L"p"}));
    EXPECT_EQ(splitCommandLine(L"p   "), (V{L"p"}));
}

TEST(ClientCommandLine, EveryStringOfBlanksQuotesAndBackslashesSurvivesQuoting) {
    // All strings up to five characters over the characters that matter.
    const wchar_t alphabet[] = {L'a', L' ', L'\t', L'"', L'\\'};
    std::vector<std::wstring> current = {L""};
    for (int length = 0; length <= 5; ++length) {
        std::vector<std::wstring> next;
        for (const std::wstring& value : current) {
            const std::wstring line =
                L"p " + tester::quoteArgument(value) + L" " + tester::quoteArgument(value, true) + L" end";
            const std::vector<std::wstring> expected = {L"p", value, value, L"end"};
            ASSERT_EQ(splitCommandLine(line), expected) << std::string(value.begin(), value.end());
            for (wchar_t c : alphabet) next.push_back(value + c);
        }
        current.swap(next);
    }
}
