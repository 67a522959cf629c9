// Shared pieces of the tester's Wine tests: scratch folders on the Linux side
// of the file system (so Linux programs see them too), and the loopback
// stand-in for the media center. Files and text: support/TestSupport.h.
#pragma once

#include "support/WineTestSupport.h"

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// A fresh folder under /tmp, removed with its contents at the end (also the
// names Linux programs leave there that Windows cannot spell).
class LinuxScratchFolder {
public:
    LinuxScratchFolder();
    ~LinuxScratchFolder();
    LinuxScratchFolder(const LinuxScratchFolder&) = delete;
    LinuxScratchFolder& operator=(const LinuxScratchFolder&) = delete;
    const std::wstring& windowsPath() const { return folder_.path(); }  // Z:\tmp\...
    const std::string& unixPath() const { return unix_; }               // /tmp/...
    std::wstring operator/(const std::wstring& name) const { return folder_ / name; }

private:
    ScratchFolder folder_;
    std::string unix_;
};

bool copyLinuxFile(const char* unixSource, const std::wstring& target);
// The window's class name.
std::wstring className(HWND window);
// The first window below `parent` of the class (letter case ignored), or null.
HWND findChild(HWND parent, const wchar_t* wantedClass);
// Puts a wget.exe into `folder` that runs the real GNU Wget and hands on its
// output and exit status as a Windows build of it would (wget_relay.exe).
bool placeRealClient(const std::wstring& folder);

// While one lives, the wget.exe that placeRealClient puts anywhere (started
// by this process or its children) holds its answer after GNU Wget ended,
// until the holder goes: the test acts while the client certainly runs.
class HeldClient {
public:
    HeldClient();
    ~HeldClient();
    HeldClient(const HeldClient&) = delete;
    HeldClient& operator=(const HeldClient&) = delete;

private:
    HANDLE release_ = nullptr;
};

struct Request {
    std::string method;
    std::string target;
    bool hasCredentials = false;
    std::string credentials;  // "user:password" as sent
    int status = 0;
    std::string passwordShownBy;  // processes whose command line held the password meanwhile ("-": none)
};

// The media center's HTTP command interface, played by a Python server on
// 127.0.0.1 (tests/e2e/tester/media_center_stub.py).
class MediaCenterStub {
public:
    // Any credentials are taken, or only `accept` ("user:password") when given.
    explicit MediaCenterStub(const std::string& accept = std::string());
    ~MediaCenterStub();
    MediaCenterStub(const MediaCenterStub&) = delete;
    MediaCenterStub& operator=(const MediaCenterStub&) = delete;

    bool ready() const { return authPort_ != 0; }
    int authPort() const { return authPort_; }
    int silentPort() const { return silentPort_; }
    int closedPort() const { return closedPort_; }
    // The requests seen so far.
    std::vector<Request> requests() const;
    // Waits (bounded) until at least `count` requests arrived.
    std::vector<Request> waitForRequests(std::size_t count, DWORD timeoutMs) const;
    // While held, the answers to requests with credentials wait (the
    // requests are logged as they come).
    void hold() const;
    void release() const;

private:
    LinuxScratchFolder folder_;
    int authPort_ = 0;
    int silentPort_ = 0;
    int closedPort_ = 0;
};

}  // namespace testsupport
