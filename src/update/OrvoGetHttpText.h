#pragma once
// TOrvoGetHttpText: one HTTP GET of a small text resource over WinINet. One permanent redirect
// (301) is followed; no other status is. A running request is aborted after TimeOut.

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>

#include "update/HttpRules.h"

class TOrvoGetHttpText {
public:
    TOrvoGetHttpText() = default;
    TOrvoGetHttpText(const TOrvoGetHttpText&) = delete;
    TOrvoGetHttpText& operator=(const TOrvoGetHttpText&) = delete;
    ~TOrvoGetHttpText();

    // User-Agent sent with the request.
    std::wstring Agent = L"Orvo Solution";
    // An "http://" or "https://" address; nothing else is fetched.
    std::wstring Url;
    // A proxy host; empty means the system's proxy settings (none there: a direct connection).
    std::wstring ProxySrv;
    std::wstring ProxyPort = L"80";
    // Given to the proxy when it asks for them.
    std::wstring ProxyUserName;
    std::wstring ProxyPassword;
    // The whole request, the redirect included, is aborted after this long.
    std::chrono::milliseconds TimeOut = std::chrono::minutes(2);

    // Blocks until the response (after the redirect, if any) has been read, or fails. True when a
    // response came; its status is then in StatusCode and its body in TheText. A body larger than
    // kMaxTextBytes, an abort or the time-out fail; Failure then says why. May run on any thread.
    bool Get();
    // Ends a running Get from any thread; a later Get starts afresh.
    void Abort() noexcept;

    // The body of the last response of the last successful Get; empty otherwise.
    const std::wstring& TheText() const noexcept { return m_text; }
    // The HTTP status of the last response of the last successful Get; 0 otherwise.
    unsigned StatusCode() const noexcept { return m_status; }
    // Why the last Get failed (None after a success), and the system's error number for
    // FetchFailure::Other.
    FetchFailure Failure() const noexcept { return m_failure; }
    unsigned long SystemError() const noexcept { return m_error; }

private:
    struct Response {
        unsigned status = 0;
        std::wstring headers;
    };
    bool Request(const std::wstring& url, Response& response);
    bool ReadBody(std::string& body);
    bool Aborted() const noexcept;
    // Each returns false; the first failure of a Get is the one kept.
    bool Fail(FetchFailure failure, unsigned long error = 0);
    bool FailWithLastError();
    // The handles are shared with Abort: each one is closed exactly once.
    void Keep(HINTERNET& slot, HINTERNET handle);
    void CloseRequest() noexcept;
    void CloseAll() noexcept;
    static void CALLBACK AbortTimerFired(void* self, BOOLEAN) noexcept;

    std::wstring m_text;
    unsigned m_status = 0;
    FetchFailure m_failure = FetchFailure::None;
    unsigned long m_error = 0;

    mutable std::mutex m_lock;
    HINTERNET m_session = nullptr;
    HINTERNET m_connection = nullptr;
    HINTERNET m_request = nullptr;
    std::atomic<bool> m_aborted{false};
    ULONGLONG m_deadline = 0;
};
