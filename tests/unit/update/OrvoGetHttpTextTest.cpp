// TOrvoGetHttpText against a real HTTP server on the loopback address.

#include "common/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <wininet.h>

#include "base/Strings.h"
#include "update/OrvoGetHttpText.h"

namespace {
using loopback_http::Response;

// The current user's proxy settings, changed for one test through the system's own call (as the
// control panel changes them) and put back afterwards.
class ScopedSystemProxy {
public:
    explicit ScopedSystemProxy(const std::wstring& server)
    {
        INTERNET_PER_CONN_OPTIONW options[3] = {};
        options[0].dwOption = INTERNET_PER_CONN_FLAGS;
        options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
        options[2].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
        m_saved = Query(options) && Set(PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY, server, L"");
        if (m_saved) {
            m_flags = options[0].Value.dwValue;
            m_server = Take(options[1].Value.pszValue);
            m_bypass = Take(options[2].Value.pszValue);
        }
    }
    ~ScopedSystemProxy()
    {
        if (m_saved) Set(m_flags, m_server, m_bypass);
    }
    ScopedSystemProxy(const ScopedSystemProxy&) = delete;
    ScopedSystemProxy& operator=(const ScopedSystemProxy&) = delete;
    bool Applied() const { return m_saved; }

private:
    static bool Query(INTERNET_PER_CONN_OPTIONW (&options)[3])
    {
        INTERNET_PER_CONN_OPTION_LISTW list{};
        list.dwSize = sizeof(list);
        list.dwOptionCount = 3;
        list.pOptions = options;
        DWORD size = sizeof(list);
        return ::InternetQueryOptionW(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, &size) != FALSE;
    }
    static bool Set(DWORD flags, std::wstring server, std::wstring bypass)
    {
        INTERNET_PER_CONN_OPTIONW options[3] = {};
        options[0].dwOption = INTERNET_PER_CONN_FLAGS;
        options[0].Value.dwValue = flags;
        options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
        options[1].Value.pszValue = server.data();
        options[2].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
        options[2].Value.pszValue = bypass.data();
        INTERNET_PER_CONN_OPTION_LISTW list{};
        list.dwSize = sizeof(list);
        list.dwOptionCount = 3;
        list.pOptions = options;
        const bool set = ::InternetSetOptionW(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, sizeof(list));
        ::InternetSetOptionW(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
        ::InternetSetOptionW(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
        return set;
    }
    static std::wstring Take(wchar_t* text)
    {
        std::wstring kept = text ? text : L"";
        if (text) ::GlobalFree(text);
        return kept;
    }

    bool m_saved = false;
    DWORD m_flags = PROXY_TYPE_DIRECT;
    std::wstring m_server, m_bypass;
};

class OrvoGetHttpTextTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.Start());
        m_http.TimeOut = std::chrono::seconds(20);
    }
    void TearDown() override { m_server.Release(); }

    std::wstring Address(const std::string& path) const { return Utf8ToWide(m_server.Origin() + path); }
    std::vector<std::string> Paths() const
    {
        std::vector<std::string> paths;
        for (const auto& request : m_server.Requests()) paths.push_back(request.target);
        return paths;
    }
    static Response Redirect(unsigned status, const std::string& location)
    {
        return {status, "Moved", {"Location: " + location}, "moved", false, {}};
    }

    loopback_http::Server m_server;
    TOrvoGetHttpText m_http;
};
} // namespace

TEST_F(OrvoGetHttpTextTest, GetsTheBodyAndSendsTheAgent)
{
    m_server.Respond("/update/launcherbeta.txt", {200, "OK", {}, "2.0.0.0\r\n", false, {}});
    m_http.Agent = L"Orvo Launcher";
    m_http.Url = Address("/update/launcherbeta.txt");
    ASSERT_TRUE(m_http.Get());
    EXPECT_EQ(m_http.StatusCode(), 200u);
    EXPECT_EQ(m_http.TheText(), L"2.0.0.0\r\n");
    const auto requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/update/launcherbeta.txt");
    EXPECT_EQ(requests[0].Header("User-Agent"), "Orvo Launcher");

}

TEST_F(OrvoGetHttpTextTest, NoRedirectButOnePermanentOneIsFollowed)
{
    // (A single 301 and a 302 are followed and not followed end to end.)
    m_server.Respond("/target", {200, "OK", {}, "9.0.0.0", false, {}});
    m_server.Respond("/once", Redirect(301, "/target"));
    m_server.Respond("/twice", Redirect(301, m_server.Origin() + "/once"));
    m_http.Url = Address("/twice");
    ASSERT_TRUE(m_http.Get());
    EXPECT_EQ(m_http.StatusCode(), 301u);
    EXPECT_EQ(m_http.TheText(), L"moved");
    for (unsigned status : {303u, 307u, 308u}) {
        m_server.Respond("/other", Redirect(status, "/target"));
        m_http.Url = Address("/other");
        ASSERT_TRUE(m_http.Get());
        EXPECT_EQ(m_http.StatusCode(), status);
    }
    EXPECT_EQ(Paths(), (std::vector<std::string>{"/twice", "/once", "/other", "/other", "/other"}));
}

TEST_F(OrvoGetHttpTextTest, OnlyWebAddressesAreFetched)
{
    // A local file is never read, neither asked for directly nor through a redirect.
    m_server.Respond("/to-file", Redirect(301, "file:///C:/windows/win.ini"));
    m_http.Url = Address("/to-file");
    EXPECT_FALSE(m_http.Get());
    EXPECT_EQ(m_http.TheText(), L"");
    for (const wchar_t* url : {L"file:///C:/windows/win.ini", L"C:\\windows\\win.ini", L""}) {
        m_http.Url = url;
        EXPECT_FALSE(m_http.Get()) << url;
    }
    m_http.Url = L"ftp" + Address("/x").substr(4);
    EXPECT_FALSE(m_http.Get());
    EXPECT_EQ(Paths(), (std::vector<std::string>{"/to-file"}));
}

TEST_F(OrvoGetHttpTextTest, TimeOutEndsAServerThatNeverAnswers)
{
    m_server.Respond("/held", {200, "OK", {}, "9.0.0.0", true, {}});
    m_http.Url = Address("/held");
    m_http.TimeOut = std::chrono::milliseconds(1500);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_FALSE(m_http.Get());
    const ULONGLONG took = ::GetTickCount64() - start;
    EXPECT_GE(took, 1000u);
    EXPECT_LT(took, 10000u);

    // The next request starts afresh.
    m_server.Respond("/quick", {200, "OK", {}, "1.0.0.0", false, {}});
    m_http.Url = Address("/quick");
    ASSERT_TRUE(m_http.Get());
    EXPECT_EQ(m_http.TheText(), L"1.0.0.0");
}

TEST_F(OrvoGetHttpTextTest, WithoutAProxyOfItsOwnTheSystemsProxyIsUsed)
{
    // The system's proxy is our server; the target itself is never contacted.
    m_server.Respond("/update/launcherbeta.txt", {200, "OK", {}, "4.0.0.0", false, {}});
    ScopedSystemProxy proxy(L"127.0.0.1:" + std::to_wstring(m_server.Port()));
    ASSERT_TRUE(proxy.Applied());
    m_http.Url = L"http://127.0.0.9:9/update/launcherbeta.txt";
    ASSERT_TRUE(m_http.Get());
    EXPECT_EQ(m_http.TheText(), L"4.0.0.0");
    EXPECT_EQ(Paths(), (std::vector<std::string>{"http://127.0.0.9:9/update/launcherbeta.txt"}));
}

TEST_F(OrvoGetHttpTextTest, AProxyGetsTheWholeAddressAndTheCredentialsItAsksFor)
{
    // The target is never contacted: the proxy (our server) answers for it.
    m_server.Respond("/update/launcherbeta.txt", {200, "OK", {}, "3.0.0.0", false, "Basic dXNlcjpwYXNz"});
    m_http.ProxySrv = L"127.0.0.1";
    m_http.ProxyPort = std::to_wstring(m_server.Port());
    m_http.ProxyUserName = L"user";
    m_http.ProxyPassword = L"pass";
    m_http.Url = L"http://127.0.0.9:9/update/launcherbeta.txt";
    ASSERT_TRUE(m_http.Get());
    EXPECT_EQ(m_http.StatusCode(), 200u);
    EXPECT_EQ(m_http.TheText(), L"3.0.0.0");
    const auto requests = m_server.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().target, "http://127.0.0.9:9/update/launcherbeta.txt");
}
