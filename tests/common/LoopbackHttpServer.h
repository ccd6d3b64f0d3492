#pragma once
// A small HTTP server on the loopback address for tests. It answers each path with the response set
// for it, can hold a request without answering, and records every request. It runs on threads of
// its own inside the test program; every wait is bounded, and it stops (closing its connections)
// when it goes.

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace loopback_http {

struct Response {
    unsigned status = 200;
    std::string reason = "OK";
    std::vector<std::string> headers;  // "Name: value"
    std::string body;
    // Read the request, then answer only once Release is called (or never).
    bool hold = false;
    // When set, a request without exactly this "Proxy-Authorization" gets a 407 challenge instead.
    std::string proxyAuthorization;
};

struct Request {
    std::string method;
    std::string target;  // as sent: a path, or a whole address when sent to a proxy
    std::vector<std::pair<std::string, std::string>> headers;

    std::string Header(std::string_view name) const
    {
        for (const auto& [key, value] : headers)
            if (Lower(key) == Lower(std::string(name))) return value;
        return {};
    }
    static std::string Lower(std::string text)
    {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    }
};

class Server {
public:
    Server()
    {
        WSADATA data{};
        m_winsock = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~Server()
    {
        Stop();
        ::CloseHandle(m_stop);
        ::CloseHandle(m_release);
        if (m_winsock) ::WSACleanup();
    }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Listens on 127.0.0.1:port (0: any free port). False when the port is taken.
    bool Start(unsigned short port = 0)
    {
        if (!m_winsock || m_listener != INVALID_SOCKET) return false;
        m_listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (m_listener == INVALID_SOCKET) return false;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        int length = sizeof(address);
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            ::listen(m_listener, 16) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            ::closesocket(m_listener);
            m_listener = INVALID_SOCKET;
            return false;
        }
        m_port = ntohs(address.sin_port);
        ::ResetEvent(m_stop);
        m_acceptor = std::thread([this] { AcceptLoop(); });
        return true;
    }

    unsigned short Port() const { return m_port; }
    std::string Origin() const { return "http://127.0.0.1:" + std::to_string(m_port); }

    // The response for one path (compared exactly, letter case included); any other path gets 404.
    void Respond(const std::string& path, Response response)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (response.hold) ::ResetEvent(m_release);
        m_responses[path] = std::move(response);
    }
    // Held requests get their answers now.
    void Release() { ::SetEvent(m_release); }

    std::vector<Request> Requests() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_requests;
    }
    bool WaitForRequests(std::size_t count, DWORD timeoutMs) const
    {
        const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
        while (Requests().size() < count) {
            if (::GetTickCount64() >= deadline) return false;
            ::Sleep(20);
        }
        return true;
    }

    void Stop()
    {
        if (m_listener == INVALID_SOCKET) return;
        ::SetEvent(m_stop);
        if (m_acceptor.joinable()) m_acceptor.join();
        ::closesocket(m_listener);
        m_listener = INVALID_SOCKET;
        std::vector<std::thread> connections;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            connections.swap(m_connections);
        }
        for (std::thread& connection : connections) connection.join();
    }

private:
    static constexpr std::size_t kMaxRequestBytes = 16384;
    static constexpr DWORD kReadTimeoutMs = 10000;

    bool Stopping() const { return ::WaitForSingleObject(m_stop, 0) == WAIT_OBJECT_0; }

    // Waits up to 100 ms for the socket to become readable.
    static bool Readable(SOCKET socket)
    {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(socket, &set);
        timeval wait{0, 100000};
        return ::select(0, &set, nullptr, nullptr, &wait) > 0;
    }

    void AcceptLoop()
    {
        while (!Stopping()) {
            if (!Readable(m_listener)) continue;
            const SOCKET client = ::accept(m_listener, nullptr, nullptr);
            if (client == INVALID_SOCKET) continue;
            std::lock_guard<std::mutex> guard(m_lock);
            m_connections.emplace_back([this, client] { Serve(client); });
        }
    }

    void Serve(SOCKET client)
    {
        std::string data;
        const ULONGLONG deadline = ::GetTickCount64() + kReadTimeoutMs;
        while (data.find("\r\n\r\n") == std::string::npos && data.size() < kMaxRequestBytes && !Stopping() &&
               ::GetTickCount64() < deadline) {
            if (!Readable(client)) continue;
            char buffer[2048];
            const int read = ::recv(client, buffer, sizeof(buffer), 0);
            if (read <= 0) break;
            data.append(buffer, read);
        }
        Response response;
        if (data.find("\r\n\r\n") != std::string::npos) {
            const Request request = Parse(data);
            std::lock_guard<std::mutex> guard(m_lock);
            m_requests.push_back(request);
            const auto found = m_responses.find(PathOf(request.target));
            if (found != m_responses.end()) response = found->second;
            else response = {404, "Not Found", {}, "not found", false, {}};
            if (!response.proxyAuthorization.empty() &&
                request.Header("Proxy-Authorization") != response.proxyAuthorization)
                response = {407, "Proxy Authentication Required", {"Proxy-Authenticate: Basic realm=\"test\""},
                            "who are you", false, {}};
        } else {
            ::closesocket(client);
            return;
        }
        if (response.hold) {
            const HANDLE events[] = {m_stop, m_release};
            if (::WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0) {
                ::closesocket(client);
                return;
            }
        }
        std::string reply = "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
        reply += "Content-Type: text/plain\r\nContent-Length: " + std::to_string(response.body.size()) + "\r\n";
        reply += "Connection: close\r\n";
        for (const std::string& header : response.headers) reply += header + "\r\n";
        reply += "\r\n" + response.body;
        for (std::size_t sent = 0; sent < reply.size();) {
            const int n = ::send(client, reply.data() + sent, static_cast<int>(reply.size() - sent), 0);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        ::shutdown(client, SD_SEND);
        ::closesocket(client);
    }

    // The path of a request target; a proxy request names the whole address.
    static std::string PathOf(const std::string& target)
    {
        const std::size_t scheme = target.find("://");
        if (scheme == std::string::npos) return target;
        const std::size_t path = target.find('/', scheme + 3);
        return path == std::string::npos ? "/" : target.substr(path);
    }

    static Request Parse(const std::string& data)
    {
        Request request;
        std::size_t lineEnd = data.find("\r\n");
        const std::string first = data.substr(0, lineEnd);
        const std::size_t space = first.find(' ');
        request.method = first.substr(0, space);
        const std::size_t second = first.find(' ', space + 1);
        request.target = first.substr(space + 1, second == std::string::npos ? std::string::npos : second - space - 1);
        for (std::size_t pos = lineEnd + 2; pos < data.size();) {
            lineEnd = data.find("\r\n", pos);
            if (lineEnd == std::string::npos || lineEnd == pos) break;
            const std::string line = data.substr(pos, lineEnd - pos);
            const std::size_t colon = line.find(':');
            if (colon != std::string::npos) {
                std::size_t valueStart = colon + 1;
                while (valueStart < line.size() && line[valueStart] == ' ') ++valueStart;
                request.headers.emplace_back(line.substr(0, colon), line.substr(valueStart));
            }
            pos = lineEnd + 2;
        }
        return request;
    }

    bool m_winsock = false;
    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_port = 0;
    HANDLE m_stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE m_release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread m_acceptor;
    mutable std::mutex m_lock;
    std::map<std::string, Response> m_responses;
    std::vector<Request> m_requests;
    std::vector<std::thread> m_connections;
};

} // namespace loopback_http
