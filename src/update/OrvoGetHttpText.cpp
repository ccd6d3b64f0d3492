#include "update/OrvoGetHttpText.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {
constexpr unsigned kMovedPermanently = 301;

FetchFailure FailureOfError(DWORD error)
{
    switch (error) {
    case ERROR_INTERNET_TIMEOUT:
    // Cut off after the connection was made: the server never finished its answer.
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET:
        return FetchFailure::NoAnswer;
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
    case ERROR_INTERNET_CANNOT_CONNECT:
    case ERROR_INTERNET_DISCONNECTED:
    case ERROR_INTERNET_SERVER_UNREACHABLE:
    case ERROR_INTERNET_PROXY_SERVER_UNREACHABLE:
        return FetchFailure::NoConnection;
    case ERROR_HTTP_INVALID_SERVER_RESPONSE:
        return FetchFailure::Unreadable;
    default:
        return FetchFailure::Other;
    }
}

// One timer of the system's timer queue, deleted (and waited for) when it goes.
class AbortTimer {
public:
    AbortTimer(WAITORTIMERCALLBACK callback, void* context, DWORD dueMs)
    {
        if (!::CreateTimerQueueTimer(&m_timer, nullptr, callback, context, dueMs, 0, WT_EXECUTEONLYONCE))
            m_timer = nullptr;
    }
    ~AbortTimer()
    {
        // INVALID_HANDLE_VALUE: returns once a callback already running has ended.
        if (m_timer) ::DeleteTimerQueueTimer(nullptr, m_timer, INVALID_HANDLE_VALUE);
    }
    AbortTimer(const AbortTimer&) = delete;
    AbortTimer& operator=(const AbortTimer&) = delete;

private:
    HANDLE m_timer = nullptr;
};

bool QueryStatus(HINTERNET request, unsigned& status)
{
    DWORD value = 0, size = sizeof(value);
    if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr))
        return false;
    status = value;
    return true;
}

std::wstring QueryRawHeaders(HINTERNET request)
{
    DWORD size = 0;
    ::HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &size, nullptr);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1);
    if (!::HttpQueryInfoW(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &size, nullptr)) return {};
    return std::wstring(buffer.data(), size / sizeof(wchar_t));
}

void SetOption(HINTERNET handle, DWORD option, const std::wstring& text)
{
    if (!text.empty())
        ::InternetSetOptionW(handle, option, const_cast<wchar_t*>(text.c_str()), static_cast<DWORD>(text.size()));
}
} // namespace

TOrvoGetHttpText::~TOrvoGetHttpText() { CloseAll(); }

bool TOrvoGetHttpText::Aborted() const noexcept
{
    return m_aborted.load() || ::GetTickCount64() >= m_deadline;
}

bool TOrvoGetHttpText::Fail(FetchFailure failure, unsigned long error)
{
    if (m_failure == FetchFailure::None) {
        m_failure = failure;
        m_error = error;
    }
    return false;
}

bool TOrvoGetHttpText::FailWithLastError()
{
    const DWORD error = ::GetLastError();
    // A call cut short by the time-out fails with whatever closing its handle caused.
    if (Aborted()) return Fail(FetchFailure::NoAnswer);
    return Fail(FailureOfError(error), error);
}

void TOrvoGetHttpText::Keep(HINTERNET& slot, HINTERNET handle)
{
    std::lock_guard<std::mutex> guard(m_lock);
    slot = handle;
}

void TOrvoGetHttpText::CloseRequest() noexcept
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_request) ::InternetCloseHandle(std::exchange(m_request, nullptr));
    if (m_connection) ::InternetCloseHandle(std::exchange(m_connection, nullptr));
}

void TOrvoGetHttpText::CloseAll() noexcept
{
    CloseRequest();
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_session) ::InternetCloseHandle(std::exchange(m_session, nullptr));
}

void TOrvoGetHttpText::Abort() noexcept
{
    m_aborted = true;
    // Closing the handles is how a blocking WinINet call is cancelled from another thread.
    CloseAll();
}

void CALLBACK TOrvoGetHttpText::AbortTimerFired(void* self, BOOLEAN) noexcept
{
    static_cast<TOrvoGetHttpText*>(self)->Abort();
}

bool TOrvoGetHttpText::Get()
{
    m_text.clear();
    m_status = 0;
    m_failure = FetchFailure::None;
    m_error = 0;
    m_aborted = false;
    CloseAll();
    if (!IsHttpAddress(Url)) return Fail(FetchFailure::Other, ERROR_INTERNET_INVALID_URL);

    const auto timeOut = static_cast<DWORD>(std::clamp<long long>(TimeOut.count(), 1, 0x7FFFFFFF));
    m_deadline = ::GetTickCount64() + timeOut;
    AbortTimer abortTimer(&TOrvoGetHttpText::AbortTimerFired, this, timeOut);

    // Without a proxy of its own the request goes the way the user's other programs go: through
    // the system's proxy settings (which may well say "direct").
    const std::wstring proxy = ProxySrv.empty() ? std::wstring() : ProxySrv + L":" + ProxyPort;
    HINTERNET session = ::InternetOpenW(Agent.c_str(), proxy.empty() ? INTERNET_OPEN_TYPE_PRECONFIG : INTERNET_OPEN_TYPE_PROXY,
                                        proxy.empty() ? nullptr : proxy.c_str(), nullptr, 0);
    if (!session) return FailWithLastError();
    Keep(m_session, session);

    Response response;
    bool ok = Request(Url, response);
    if (ok && response.status == kMovedPermanently) {
        if (const auto target = RedirectTarget(response.headers)) {
            // One redirect, and only to another web address: a "file:" target is never read, and a
            // secure address is never left for a plain one.
            const auto next = ResolveRedirect(Url, *target);
            CloseRequest();
            ok = next ? Request(*next, response) : Fail(FetchFailure::RedirectRefused);
        }
    }
    std::string body;
    ok = ok && ReadBody(body) && (!Aborted() || Fail(FetchFailure::NoAnswer));
    CloseAll();
    if (!ok) return false;
    m_status = response.status;
    m_text = BodyText(body);
    return true;
}

bool TOrvoGetHttpText::Request(const std::wstring& url, Response& response)
{
    if (Aborted()) return Fail(FetchFailure::NoAnswer);
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    if (!::InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return FailWithLastError();
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        return Fail(FetchFailure::Other, ERROR_INTERNET_INVALID_URL);
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring object = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                          std::wstring(parts.lpszExtraInfo ? parts.lpszExtraInfo : L"", parts.dwExtraInfoLength);
    if (object.empty()) object = L"/";

    HINTERNET session = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        session = m_session;
    }
    if (!session) return Fail(FetchFailure::NoAnswer);
    HINTERNET connection =
        ::InternetConnectW(session, host.c_str(), parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (!connection) return FailWithLastError();
    Keep(m_connection, connection);
    SetOption(connection, INTERNET_OPTION_PROXY_USERNAME, ProxyUserName);
    SetOption(connection, INTERNET_OPTION_PROXY_PASSWORD, ProxyPassword);

    // Redirects are ours to follow (so the client never takes one from https to http by itself);
    // nothing is cached, no cookie is kept, no dialog is shown.
    DWORD flags = INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE |
                  INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    const wchar_t* accept[] = {L"text/*", nullptr};
    HINTERNET request = ::HttpOpenRequestW(connection, L"GET", object.c_str(), nullptr, nullptr, accept, flags, 0);
    if (!request) return FailWithLastError();
    Keep(m_request, request);
    SetOption(request, INTERNET_OPTION_PROXY_USERNAME, ProxyUserName);
    SetOption(request, INTERNET_OPTION_PROXY_PASSWORD, ProxyPassword);
    // Each blocking step also ends by itself within what is left of the time-out: on some systems
    // closing a handle does not interrupt a call that is waiting on the network.
    const ULONGLONG now = ::GetTickCount64();
    DWORD left = static_cast<DWORD>(m_deadline > now ? m_deadline - now : 1);
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        ::InternetSetOptionW(request, option, &left, sizeof(left));

    if (!::HttpSendRequestW(request, nullptr, 0, nullptr, 0)) return FailWithLastError();
    if (Aborted()) return Fail(FetchFailure::NoAnswer);
    if (!QueryStatus(request, response.status)) return Fail(FetchFailure::Unreadable);
    response.headers = QueryRawHeaders(request);
    return !Aborted() || Fail(FetchFailure::NoAnswer);
}

bool TOrvoGetHttpText::ReadBody(std::string& body)
{
    HINTERNET request = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        request = m_request;
    }
    if (!request) return Fail(FetchFailure::NoAnswer);
    char buffer[1024];
    for (;;) {
        DWORD read = 0;
        if (!::InternetReadFile(request, buffer, sizeof(buffer), &read)) return FailWithLastError();
        if (Aborted()) return Fail(FetchFailure::NoAnswer);
        if (read == 0) return true;
        body.append(buffer, read);
        if (body.size() > kMaxTextBytes) return Fail(FetchFailure::Unreadable);
    }
}
