// Where a control's help is, and the file URL a browser is handed for a help page.

#include <gtest/gtest.h>

#include <optional>

#include "app/HelpRules.h"
#include "base/Strings.h"

TEST(HelpTopicOfContext, EachBlockOfIdsHasItsPageAndTheIdAsAnchor)
{
    struct Case {
        unsigned long id;
        std::optional<HelpTopic> topic;
    };
    const Case cases[] = {
        {1001, HelpTopic{L"launchertab.html", L"h1001"}},
        {1999, HelpTopic{L"launchertab.html", L"h1999"}},
        {2004, HelpTopic{L"groupstarttab.html", L"h2004"}},
        {3001, HelpTopic{L"optiontab.html", L"h3001"}},
        {3028, HelpTopic{L"optiontab.html", L"h3028"}},
        {4002, HelpTopic{L"mainwin.html", L"h4002"}},
        // The start group editor opens from the "Group Start" page and is described there.
        {5001, HelpTopic{L"groupstarttab.html", L"h5001"}},
        {5008, HelpTopic{L"groupstarttab.html", L"h5008"}},
        // No help context, or one of no place of the program.
        {0, std::nullopt},
        {999, std::nullopt},
        {6001, std::nullopt},
        {4294967295ul, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(HelpTopicOfContext(c.id), c.topic) << c.id;
}

TEST(FileUrlOfPath, EncodesWhatAUrlCannotHoldAndKeepsTheAnchor)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* anchor;
        const wchar_t* url;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Orvo Launcher\\help\\index.html", L"",
         L"file:///C:/Program%20Files/Orvo%20Launcher/help/index.html"},
        {L"C:\\Orvo\\help\\optiontab.html", L"h3002", L"file:///C:/Orvo/help/optiontab.html#h3002"},
        // Characters a URL reads as its own: the fragment mark, the escape, a query.
        {L"D:\\50% #1?\\a.html", L"", L"file:///D:/50%25%20%231%3F/a.html"},
        // Non-ASCII names as UTF-8, a character beyond the basic plane included.
        {L"C:\\T\u00e9st \u8a66\\\U0001F600.html", L"", L"file:///C:/T%C3%A9st%20%E8%A9%A6/%F0%9F%98%80.html"},
        // A network path: the server is the host.
        {L"\\\\server\\share\\help\\index.html", L"h1", L"file://server/share/help/index.html#h1"},
        // The long-path forms are the plain paths.
        {L"\\\\?\\C:\\Very\\Long\\index.html", L"", L"file:///C:/Very/Long/index.html"},
        {L"\\\\?\\UNC\\server\\share\\index.html", L"", L"file://server/share/index.html"},
    };
    for (const Case& c : cases) EXPECT_EQ(FileUrlOfPath(c.path, c.anchor), c.url) << WideToUtf8(c.path);
}
