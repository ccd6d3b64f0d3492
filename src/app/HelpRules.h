#pragma once
// Where help is found when there is no help file: HTML pages in the "help" folder beside the
// program, one per page of the main window, and a control's paragraph on its page at an anchor
// named after the control's help context id ("h3002"). No Windows headers: pure rules.

#include <optional>
#include <string>
#include <string_view>

// The folder's first page, shown when no page of the main window is asked for.
inline constexpr const wchar_t* kHelpIndexPage = L"index.html";

struct HelpTopic {
    std::wstring page;    // a file of the help folder
    std::wstring anchor;  // an element id on that page; empty for the top of the page
    bool operator==(const HelpTopic&) const = default;
};

// The topic of a control's help context id. The ids come in blocks of a thousand, one block per
// place: 1xxx the "Launcher" page, 2xxx the "Group Start" page and 5xxx its start group editor,
// 3xxx the "Options" page, 4xxx the buttons below the pages. Any other id has no topic.
std::optional<HelpTopic> HelpTopicOfContext(unsigned long contextId);

// A local or network path as a "file:" URL a browser opens: "C:\A b\x.html" gives
// "file:///C:/A%20b/x.html", "\\server\share\x.html" gives "file://server/share/x.html". Every
// character but letters, digits, "-._~", the separators and the drive's ":" is percent-encoded as
// UTF-8, so "#", "%" and non-ASCII names survive. A non-empty anchor is appended after "#".
std::wstring FileUrlOfPath(std::wstring_view path, std::wstring_view anchor = {});
