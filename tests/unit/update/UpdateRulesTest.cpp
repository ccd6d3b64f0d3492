// The update check's rules: the server's version text, comparing versions, and where a redirect leads.

#include <gtest/gtest.h>

#include "update/HttpRules.h"
#include "update/VersionRules.h"

namespace {
std::wstring Shown(const std::optional<FileVersion>& version)
{
    return version ? VersionDisplayText(*version) : L"<none>";
}
} // namespace

TEST(VersionRulesTests, ServerTextIsFourNumbersSplitAtTheFirstThreeDots)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* parsed;
    };
    const Case cases[] = {
        {L"2.0.0.0", L"2.0.0 (Build 0)"},
        {L"  1.9.9.9\r\n", L"1.9.9 (Build 9)"},     // surrounding white space
        {L"\t1.2.3.4 \n\n", L"1.2.3 (Build 4)"},
        {L"1.2.3", L"<none>"},                       // two dots only
        {L"1.2", L"<none>"},
        {L"", L"<none>"},
        {L"   ", L"<none>"},
        {L"<html><body>Not here</body></html>", L"<none>"},
        {L"a.b.c.d", L"0.0.0 (Build 0)"},            // non-numbers count as 0
        {L"1.x.3.4", L"1.0.3 (Build 4)"},
        {L"1.2.3.4.5", L"1.2.3 (Build 0)"},          // the rest after the third dot is one part
        {L"1.2.3.4\r\nnext line", L"1.2.3 (Build 0)"},
        {L"-1.2.3.4", L"0.2.3 (Build 4)"},           // signed is not a plain number
        {L"+1.2.3.4", L"0.2.3 (Build 4)"},
        {L"1..3.4", L"1.0.3 (Build 4)"},             // an empty part
        {L"1.10.0.0", L"1.10.0 (Build 0)"},
        {L"4294967295.0.0.0", L"4294967295.0.0 (Build 0)"},
        {L"4294967296.0.0.0", L"0.0.0 (Build 0)"},   // beyond 32 bits is not a number
        {L"\xFEFF" L"1.2.3.4", L"0.2.3 (Build 4)"},  // a stray mark is part of the number
    };
    for (const Case& c : cases) EXPECT_EQ(Shown(ParseVersionText(c.text)), c.parsed) << c.text;
}

TEST(VersionRulesTests, NewerComparesFieldByField)
{
    struct Case {
        FileVersion candidate, current;
        bool newer;
    };
    const Case cases[] = {
        {{2, 0, 0, 0}, {1, 9, 9, 9}, true},
        {{1, 3, 0, 0}, {1, 2, 3, 100}, true},   // a weighted sum would say 1.2.3.100 is newer
        {{1, 2, 3, 100}, {1, 3, 0, 0}, false},
        {{1, 1, 0, 0}, {1, 0, 10, 0}, true},    // and 1.1.0.0 no newer than 1.0.10.0
        {{1, 10, 0, 0}, {1, 9, 0, 0}, true},    // numbers, not text: 1.10 after 1.9
        {{1, 9, 0, 0}, {1, 10, 0, 0}, false},
        {{1, 0, 0, 2}, {1, 0, 0, 1}, true},     // the build decides last
        {{1, 0, 0, 1}, {1, 0, 0, 1}, false},    // the same version is not newer
        {{0, 9, 9, 9}, {1, 0, 0, 1}, false},
        {{1, 0, 1, 0}, {1, 0, 0, 65535}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsNewerVersion(c.candidate, c.current), c.newer)
            << VersionDisplayText(c.candidate) << " against " << VersionDisplayText(c.current);
}

TEST(VersionRulesTests, OnlyANewerReadableVersionIsOffered)
{
    const FileVersion program{1, 9, 9, 9};
    const UpdateAnswer newer = AnswerOfResponse(program, 200, L" 2.0.0.0\r\n");
    EXPECT_EQ(newer.kind, UpdateAnswer::Kind::Newer);
    EXPECT_EQ(newer.text, L"2.0.0 (Build 0)");
    EXPECT_EQ(AnswerOfResponse(program, 200, L"1.9.9.9").kind, UpdateAnswer::Kind::Latest);
    EXPECT_EQ(AnswerOfResponse(program, 200, L"1.9.9.8").kind, UpdateAnswer::Kind::Latest);
    EXPECT_EQ(AnswerOfResponse(program, 200, L"2.0.0").kind, UpdateAnswer::Kind::Failed);
    EXPECT_EQ(AnswerOfResponse(program, 200, L"garbage").kind, UpdateAnswer::Kind::Failed);
    EXPECT_EQ(NewVersionQuestion(L"2.0.0 (Build 0)"),
              L"A new version 2.0.0 (Build 0) is available.\r\nDo you want to visit the website now?");
}

TEST(HttpRulesTests, RedirectTargetIsTheLocationHeaderWithItsCaseKept)
{
    struct Case {
        const wchar_t* headers;
        const wchar_t* target;
    };
    const Case cases[] = {
        {L"HTTP/1.1 301 Moved\r\nLocation: http://Host/Update/New.TXT\r\n\r\n", L"http://Host/Update/New.TXT"},
        {L"HTTP/1.1 301 Moved\r\nlocation:/a/B \r\n", L"/a/B"},
        {L"HTTP/1.1 301 Moved\r\nLOCATION :\t/x\r\n", L"/x"},
        // The first one counts.
        {L"HTTP/1.1 301 Moved\r\nLocation: /first\r\nLocation: /second\r\n", L"/first"},
        // Another header that merely ends in "location" names something else.
        {L"HTTP/1.1 301 Moved\r\nContent-Location: /not\r\nX-Location: /neither\r\n", L"<none>"},
        {L"HTTP/1.1 301 Moved\r\nContent-Location: /not\r\nLocation: /this\r\n", L"/this"},
        {L"HTTP/1.1 301 Moved\r\nLocation:   \r\n", L"<none>"},
        {L"HTTP/1.1 301 Moved\r\n\r\n", L"<none>"},
        {L"Location: /status-line-is-not-a-header", L"<none>"},
        {L"", L"<none>"},
    };
    for (const Case& c : cases) EXPECT_EQ(RedirectTarget(c.headers).value_or(L"<none>"), c.target) << c.headers;
}

TEST(HttpRulesTests, RedirectResolvesAgainstTheAnsweringAddressAndStaysOnTheWeb)
{
    const wchar_t* base = L"http://host:8080/update/launcherbeta.txt?x=1";
    struct Case {
        const wchar_t* target;
        const wchar_t* resolved;
    };
    const Case cases[] = {
        {L"https://Other.example/Path/V.txt", L"https://Other.example/Path/V.txt"},
        {L"HTTP://other/v.txt", L"HTTP://other/v.txt"},
        {L"//mirror/update/v.txt", L"http://mirror/update/v.txt"},
        {L"/Moved/LauncherBeta.TXT", L"http://host:8080/Moved/LauncherBeta.TXT"},
        {L"beta2.txt", L"http://host:8080/update/beta2.txt"},
        {L"file:///C:/Windows/win.ini", L"<none>"},
        {L"ftp://host/v.txt", L"<none>"},
        {L"", L"<none>"},
    };
    for (const Case& c : cases) EXPECT_EQ(ResolveRedirect(base, c.target).value_or(L"<none>"), c.resolved) << c.target;
    EXPECT_EQ(ResolveRedirect(L"http://host", L"v.txt").value_or(L"<none>"), L"http://host/v.txt");
    EXPECT_FALSE(ResolveRedirect(L"file:///C:/a", L"/b"));

    // A secure address is never left for a plain one.
    const wchar_t* secure = L"HTTPS://host/update/launcherbeta.txt";
    const Case fromSecure[] = {
        {L"http://host/update/v.txt", L"<none>"},
        {L"Http://other/v.txt", L"<none>"},
        {L"https://other/v.txt", L"https://other/v.txt"},
        {L"//mirror/v.txt", L"HTTPS://mirror/v.txt"},
        {L"/v.txt", L"HTTPS://host/v.txt"},
    };
    for (const Case& c : fromSecure)
        EXPECT_EQ(ResolveRedirect(secure, c.target).value_or(L"<none>"), c.resolved) << c.target;
}

TEST(HttpRulesTests, BodyIsUtf8WithoutItsByteOrderMark)
{
    EXPECT_EQ(BodyText("\xEF\xBB\xBF" "1.2.3.4\r\n"), L"1.2.3.4\r\n");
    EXPECT_EQ(BodyText("caf\xC3\xA9"), L"caf\u00E9");
    EXPECT_EQ(BodyText(""), L"");
}
