#include "tester/ClientCommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using tester::ClientSettings;
using tester::MediaCenterAction;
using tester::splitCommandLine;

namespace {

const std::wstring kConfigPath = L"C:\\Users\\Jo Smith\\AppData\\Local\\Temp\\quorrel-client-1.wgetrc";

std::wstring url(const std::wstring& ip, const std::wstring& id) {
    return L"http://" + ip + L"/ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=ActivateWindow(" + id + L")";
}

std::wstring commandLine(const ClientSettings& settings, const MediaCenterAction& action) {
    return tester::clientCommandLine(tester::buildClientCommand(settings, action), kConfigPath);
}

// The argv the client gets for the given settings.
std::vector<std::wstring> clientArgv(const ClientSettings& settings, const std::wstring& id) {
    return splitCommandLine(commandLine(settings, MediaCenterAction::openWindow(id)));
}

std::vector<std::wstring> expectedArgv(const std::wstring& program, const std::wstring& url) {
    return {program,      L"--config=" + kConfigPath, L"--timeout=10",
            L"--tries=1", L"--output-document=-",     L"--output-file=-",
            url};
}

}  // namespace

TEST(ClientCommandLine, OrdinaryValuesKeepTheirPlainForm) {
    const ClientSettings settings{L"192.168.1.5:8080", L"ormu", L"secret", L"C:\\tools\\wget"};
    const auto command = tester::buildClientCommand(settings, MediaCenterAction::openWindow(L"10000"));
    EXPECT_EQ(command.program, L"C:\\tools\\wget\\wget.exe");
    EXPECT_EQ(command.currentDirectory, L"C:\\tools\\wget");
    EXPECT_EQ(tester::clientCommandLine(command, L"C:\\Temp\\q.wgetrc"),
              L"\"C:\\tools\\wget\\wget.exe\" --config=C:\\Temp\\q.wgetrc --timeout=10 --tries=1 "
              L"--output-document=- --output-file=- "
              L"\"http://192.168.1.5:8080/ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=ActivateWindow(10000)\"");
    EXPECT_EQ(splitCommandLine(commandLine(settings, MediaCenterAction::reloadSkin())).back(),
              L"http://192.168.1.5:8080/ormuCmds/ormuHttp?command=ExecBuiltIn&parameter=ReloadSkin()");
}

TEST(ClientCommandLine, ProgramPathAndFolderFollowTheTypedFolder) {
    const auto action = MediaCenterAction::openWindow(L"10000");
    const auto plain = tester::buildClientCommand({L"h", L"u", L"p", L"C:\\tools\\wget"}, action);
    const auto slashed = tester::buildClientCommand({L"h", L"u", L"p", L"C:\\tools\\wget\\"}, action);
    EXPECT_EQ(plain.program, slashed.program);
    EXPECT_EQ(slashed.currentDirectory, L"C:\\tools\\wget\\");

    const auto empty = tester::buildClientCommand({L"h", L"u", L"p", L""}, action);
    EXPECT_EQ(empty.program, L"\\wget.exe");
    EXPECT_EQ(empty.currentDirectory, L"");
    EXPECT_EQ(splitCommandLine(tester::clientCommandLine(empty, kConfigPath)).front(), L"\\wget.exe");
}

TEST(ClientCommandLine, ArgumentsReachTheClientAsIntendedAndTheCredentialsStayOffIt) {
    const std::wstring prog = L"C:\\tools\\wget\\wget.exe";
    // Blanks, quotes, backslashes before quotes and at the end, option-like
    // text: the address stays inside the URL's argument.
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
        EXPECT_EQ(clientArgv({value, L"u", L"p", L"C:\\tools\\wget\\"}, L"10000"),
                  expectedArgv(prog, url(value, L"10000")));
    }
    EXPECT_EQ(clientArgv({L"h", L"u", L"p", L"C:\\my tools\\wget"}, L"custom.xml").front(),
              L"C:\\my tools\\wget\\wget.exe");

    const std::wstring line =
        commandLine({L"h", L"the login", L"the password", L"C:\\w"}, MediaCenterAction::reloadSkin());
    EXPECT_EQ(line.find(L"the login"), std::wstring::npos);
    EXPECT_EQ(line.find(L"the password"), std::wstring::npos);
}

TEST(ClientCommandLine, TheConfigurationFileCarriesTheCredentialsByteForByte) {
    // The configuration format has no quoting: what stands after "= " up to
    // the line's end is the value.
    EXPECT_EQ(tester::clientConfiguration(L"ormu", L"secret"),
              std::string("http_user = ormu\nhttp_password = secret\n"));
    EXPECT_EQ(tester::clientConfiguration(L"", L""), std::string("http_user = \nhttp_password = \n"));
    EXPECT_EQ(tester::clientConfiguration(L"the user", L"p\"a ss\\ #1 \u00e9\u00df\u4e2d"),
              std::string("http_user = the user\nhttp_password = p\"a ss\\ #1 \xc3\xa9\xc3\x9f\xe4\xb8\xad\n"));
    EXPECT_EQ(tester::buildClientCommand({L"h", L"u", L"p", L"C:\\w"}, MediaCenterAction::reloadSkin()).configuration,
              tester::clientConfiguration(L"u", L"p"));

    // Blanks at either end would be trimmed, a line break would end the
    // value: such credentials are not sent at all.
    for (const std::wstring& unfit :
         {std::wstring(L" lead"), std::wstring(L"trail "), std::wstring(L"tab\t"), std::wstring(L"two\nlines"),
          std::wstring(L"cr\rin"), std::wstring(L"nul\0x", 5)}) {
        EXPECT_FALSE(tester::clientConfiguration(unfit, L"p").has_value());
        EXPECT_FALSE(tester::clientConfiguration(L"u", unfit).has_value());
        EXPECT_FALSE(tester::buildClientCommand({L"h", L"u", unfit, L"C:\\w"}, MediaCenterAction::reloadSkin())
                         .configuration.has_value());
    }
}

TEST(ClientCommandLine, TheClientRunsInTheCLocaleWithTheRestOfTheEnvironment) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(tester::clientEnvironment({L"=C:=C:\\x", L"PATH=C:\\w", L"lang=de_DE", L"Lc_All=fr_FR", L"LC_ALLX=1"}),
              (V{L"=C:=C:\\x", L"PATH=C:\\w", L"LC_ALLX=1", L"LC_ALL=C", L"LANG=C"}));
    EXPECT_EQ(tester::clientEnvironment({}), (V{L"LC_ALL=C", L"LANG=C"}));
}

TEST(ClientCommandLine, WindowIdsAreEncodedForTheQuery) {
    EXPECT_EQ(tester::percentEncode(L"mywindow.xml"), L"mywindow.xml");
    EXPECT_EQ(tester::percentEncode(L"a b&c=d#e%f.xml"), L"a%20b%26c%3Dd%23e%25f.xml");
    EXPECT_EQ(tester::percentEncode(L"x)(y\".xml"), L"x%29%28y%22.xml");
    EXPECT_EQ(tester::percentEncode(L"\u00E9t\u00E9.xml"), L"%C3%A9t%C3%A9.xml");
    EXPECT_EQ(clientArgv({L"h", L"u", L"p", L"C:\\w"}, L"my window&x.xml").back(), url(L"h", L"my%20window%26x.xml"));
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
