#include "tester/JsonRpcClient_win.h"

#include "base/TextCodec.h"
#include "tester/JsonRpcMessages.h"

#include <winhttp.h>

#include <vector>

namespace tester {
namespace {

// Wine's WinHTTP passes some socket errors on as they are (winsock2.h's
// WSAECONNREFUSED, WSAETIMEDOUT, WSAECONNRESET, WSAECONNABORTED).
constexpr DWORD kSocketRefused = 10061;
constexpr DWORD kSocketTimedOut = 10060;
constexpr DWORD kSocketReset = 10054;
constexpr DWORD kSocketAborted = 10053;

// The request under way, shared with the thread that may stop the round:
// whichever side takes it from `shared` closes it (WinHTTP ends a
// synchronous call on a request handle closed meanwhile).
class PendingRequest {
public:
    PendingRequest(HINTERNET h, std::atomic<void*>& shared) : handle(h), shared_(shared) {
        if (h != nullptr) shared_.store(h);
    }
    ~PendingRequest() {
        if (void* mine = shared_.exchange(nullptr)) ::WinHttpCloseHandle(static_cast<HINTERNET>(mine));
    }
    PendingRequest(const PendingRequest&) = delete;
    PendingRequest& operator=(const PendingRequest&) = delete;

    const HINTERNET handle;

private:
    std::atomic<void*>& shared_;
};

// What the system's error means for the words; `answering` once the request
// was sent and its answer is awaited.
HttpExchange failure(DWORD error, bool answering) {
    HttpExchange exchange;
    exchange.systemError = error;
    switch (error) {
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case kSocketRefused:
        exchange.transport = HttpExchange::Refused;
        break;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        exchange.transport = HttpExchange::NameUnknown;
        break;
    case ERROR_WINHTTP_TIMEOUT:
    case kSocketTimedOut:
        exchange.transport = answering ? HttpExchange::AnswerTimedOut : HttpExchange::ConnectTimedOut;
        break;
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
    case kSocketReset:
    case kSocketAborted:
        exchange.transport = HttpExchange::ClosedEarly;
        break;
    case ERROR_WINHTTP_OPERATION_CANCELLED:
        exchange.transport = HttpExchange::Stopped;
        break;
    default:
        exchange.transport = HttpExchange::OtherFailure;
        break;
    }
    return exchange;
}

}  // namespace

WinHttpTransport::WinHttpTransport(JsonRpcEndpoint endpoint, const std::atomic<bool>* stop,
                                   std::atomic<void*>* pending)
    : endpoint_(std::move(endpoint)), stop_(stop), pending_(pending != nullptr ? pending : &ownPending_) {}

WinHttpTransport::~WinHttpTransport() {
    if (connection_ != nullptr) ::WinHttpCloseHandle(static_cast<HINTERNET>(connection_));
    if (session_ != nullptr) ::WinHttpCloseHandle(static_cast<HINTERNET>(session_));
}

HttpExchange WinHttpTransport::post(const std::string& body) {
    if (stop_ != nullptr && stop_->load()) return HttpExchange{HttpExchange::Stopped, 0, {}, 0};
    if (session_ == nullptr) {
        // No proxy: the media center is on this machine or the local network.
        session_ = ::WinHttpOpen(L"Quorrel", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                 WINHTTP_NO_PROXY_BYPASS, 0);
        if (session_ == nullptr) return failure(::GetLastError(), false);
        const int connect = endpoint_.timeouts.connect;
        const int answer = endpoint_.timeouts.answer;
        ::WinHttpSetTimeouts(static_cast<HINTERNET>(session_), connect, connect, answer, answer);
    }
    if (connection_ == nullptr) {
        connection_ = ::WinHttpConnect(static_cast<HINTERNET>(session_), endpoint_.host.c_str(),
                                       static_cast<INTERNET_PORT>(endpoint_.port), 0);
        if (connection_ == nullptr) return failure(::GetLastError(), false);
    }
    const PendingRequest request(::WinHttpOpenRequest(static_cast<HINTERNET>(connection_), L"POST", L"/jsonrpc",
                                                      nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, 0),
                                 *pending_);
    if (request.handle == nullptr) return failure(::GetLastError(), false);
    // A stop that came before the request was shared is seen here; one after it closes the request.
    if (stop_ != nullptr && stop_->load()) return HttpExchange{HttpExchange::Stopped, 0, {}, 0};
    // The wait for the answer's head has a bound of its own, unbounded by default in some WinHTTPs.
    DWORD answerBound = static_cast<DWORD>(endpoint_.timeouts.answer);
    ::WinHttpSetOption(request.handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &answerBound, sizeof(answerBound));
    std::wstring headers = L"Content-Type: application/json\r\n";
    if (endpoint_.authorization) headers += L"Authorization: " + text::fromUtf8(*endpoint_.authorization) + L"\r\n";
    std::string data = body;
    if (!::WinHttpSendRequest(request.handle, headers.c_str(), static_cast<DWORD>(-1L), data.data(),
                              static_cast<DWORD>(data.size()), static_cast<DWORD>(data.size()), 0))
        return failure(::GetLastError(), false);
    if (!::WinHttpReceiveResponse(request.handle, nullptr)) return failure(::GetLastError(), true);
    HttpExchange exchange;
    exchange.transport = HttpExchange::Answered;
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!::WinHttpQueryHeaders(request.handle, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return failure(::GetLastError(), true);
    exchange.status = status;
    // A server that closes before the length it announced has sent half an answer.
    DWORD announced = 0;
    size = sizeof(announced);
    const bool lengthKnown =
        ::WinHttpQueryHeaders(request.handle, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                              WINHTTP_HEADER_NAME_BY_INDEX, &announced, &size, WINHTTP_NO_HEADER_INDEX) != FALSE;
    if (lengthKnown && announced > kJsonRpcAnswerLimit) return HttpExchange{HttpExchange::TooLarge, status, {}, 0};
    std::vector<char> buffer(16 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!::WinHttpReadData(request.handle, buffer.data(), static_cast<DWORD>(buffer.size()), &got)) {
            const DWORD error = ::GetLastError();
            HttpExchange broken = failure(error, true);
            if (broken.transport == HttpExchange::OtherFailure) broken.transport = HttpExchange::ClosedEarly;
            return broken;
        }
        if (got == 0) break;
        if (exchange.body.size() + got > kJsonRpcAnswerLimit) return HttpExchange{HttpExchange::TooLarge, status, {}, 0};
        exchange.body.append(buffer.data(), got);
        if (stop_ != nullptr && stop_->load()) return HttpExchange{HttpExchange::Stopped, 0, {}, 0};
    }
    if (lengthKnown && exchange.body.size() < announced) return HttpExchange{HttpExchange::ClosedEarly, status, {}, 0};
    return exchange;
}

bool WinHttpTransport::pause(unsigned milliseconds) {
    if (stop_ != nullptr && stop_->load()) return false;
    ::Sleep(milliseconds);
    return stop_ == nullptr || !stop_->load();
}

JsonRpcRunner::~JsonRpcRunner() {
    if (!thread_.joinable()) return;
    stop();
    thread_.join();
}

void JsonRpcRunner::stop() {
    stop_ = true;
    if (void* request = pendingRequest_.exchange(nullptr)) ::WinHttpCloseHandle(static_cast<HINTERNET>(request));
}

bool JsonRpcRunner::start(JsonRpcEndpoint endpoint, JsonRpcTask task, std::wstring shownAddress, HWND window,
                          UINT done) {
    if (running()) return false;
    if (thread_.joinable()) thread_.join();  // ended, its message not seen
    stop_ = false;
    finished_ = false;
    thread_ = std::thread([this, endpoint = std::move(endpoint), task = std::move(task),
                           shownAddress = std::move(shownAddress), window, done]() noexcept {
        JsonRpcReport report;
        try {
            WinHttpTransport transport(endpoint, &stop_, &pendingRequest_);
            report = runJsonRpcRound(transport, task, shownAddress);
        } catch (...) {
            report.ending = JsonRpcReport::Failed;
            report.text = L"The request to the media center at " + shownAddress + L" failed (out of memory).";
        }
        {
            std::lock_guard<std::mutex> guard(lock_);
            report_ = std::move(report);
        }
        finished_ = true;
        ::PostMessageW(window, done, 0, 0);
    });
    return true;
}

JsonRpcReport JsonRpcRunner::collect() {
    if (thread_.joinable()) thread_.join();
    std::lock_guard<std::mutex> guard(lock_);
    return std::move(report_);
}

}  // namespace tester
