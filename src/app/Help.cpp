#include "app/Help.h"

#include <shellapi.h>

#include "app/Commands.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/ShellOperations.h"

namespace {
// From the HTML Help API; declared here because MinGW does not ship htmlhelp.h.
constexpr UINT kHhDisplayTopic = 0x0000;
constexpr UINT kHhDisplayTextPopup = 0x000E;
struct HhPopup {
    int cbStruct;
    HINSTANCE hinst;
    UINT idString;
    LPCWSTR pszText;
    POINT pt;
    COLORREF clrForeground;
    COLORREF clrBackground;
    RECT rcMargins;
    LPCWSTR pszFont;
};

int CALLBACK NoteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool TahomaInstalled()
{
    HDC dc = ::GetDC(nullptr);
    LOGFONTW wanted{};
    lstrcpynW(wanted.lfFaceName, L"Tahoma", LF_FACESIZE);
    wanted.lfCharSet = DEFAULT_CHARSET;
    bool found = false;
    ::EnumFontFamiliesExW(dc, &wanted, &NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    ::ReleaseDC(nullptr, dc);
    return found;
}
} // namespace

HelpSystem::HtmlHelpFn HelpSystem::Bind()
{
    if (!m_bindTried) {
        m_bindTried = true;
        m_library.reset(::LoadLibraryExW(L"hhctrl.ocx", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        if (!m_library) m_library.reset(::LoadLibraryW(L"hhctrl.ocx"));
        if (m_library)
            m_htmlHelp = reinterpret_cast<HtmlHelpFn>(
                reinterpret_cast<void*>(::GetProcAddress(m_library.get(), "HtmlHelpW")));
    }
    return m_htmlHelp;
}

HelpSystem::HtmlHelpFn HelpSystem::HelpFileViewer()
{
    // Looked for at every request: a help file put beside the program later is used from then on.
    return FileExists(m_helpFile) ? Bind() : nullptr;
}

void HelpSystem::ShowContextHelp(HWND owner, DWORD contextId, POINT where, const std::wstring& fallbackPage)
{
    if (HtmlHelpFn htmlHelp = HelpFileViewer()) {
        if (contextId != 0) ShowContextPopup(htmlHelp, owner, contextId, where);
        return;
    }
    if (const std::optional<HelpTopic> topic = HelpTopicOfContext(contextId)) OpenPage(owner, *topic);
    else OpenPage(owner, {fallbackPage.empty() ? kHelpIndexPage : fallbackPage, {}});
}

void HelpSystem::ShowContextPopup(HtmlHelpFn htmlHelp, HWND owner, DWORD contextId, POINT where)
{
    const std::wstring topics = m_helpFile + L"::/pages/HelpTopicMain.txt";
    HhPopup popup{};
    popup.cbStruct = sizeof(popup);
    popup.idString = contextId;
    popup.pt = where;
    popup.clrForeground = static_cast<COLORREF>(-1);
    popup.clrBackground = static_cast<COLORREF>(-1);
    popup.rcMargins = {5, 5, 5, 5};
    popup.pszFont = TahomaInstalled() ? L"Tahoma, 8, ," : nullptr;
    htmlHelp(owner, topics.c_str(), kHhDisplayTextPopup, reinterpret_cast<DWORD_PTR>(&popup));
}

void HelpSystem::ShowTopic(HWND owner, const std::wstring& page)
{
    if (HtmlHelpFn htmlHelp = HelpFileViewer()) {
        const std::wstring target = page.empty() ? m_helpFile : m_helpFile + L"::/pages/" + page;
        htmlHelp(owner, target.c_str(), kHhDisplayTopic, 0);
        return;
    }
    OpenPage(owner, {page.empty() ? kHelpIndexPage : page, {}});
}

void HelpSystem::OpenPage(HWND owner, const HelpTopic& topic)
{
    HelpTopic shown = topic;
    // A page that went missing gives way to the first page, which links to every other.
    if (!FileExists(m_pagesFolder + shown.page)) shown = {kHelpIndexPage, {}};
    const std::wstring path = m_pagesFolder + shown.page;
    if (!FileExists(path)) {
        ::MessageBeep(MB_ICONASTERISK);
        const std::wstring text = std::wstring(L"The help of ") + kProgramTitle +
                                  L" is not installed.\r\n\r\nIt was looked for in:\r\n" +
                                  ExcludeTrailingBackslash(m_pagesFolder);
        ::MessageBoxW(owner, text.c_str(), kProgramTitle, MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The browser is handed a file URL, which keeps the anchor of the control asked about. The
    // shell, which opens the page with whatever program HTML files are associated with, would
    // drop the anchor, so it only stands in when no browser is registered.
    if (OpenInRegisteredBrowser(FileUrlOfPath(path, shown.anchor))) return;
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(owner, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return;
    ::MessageBeep(MB_ICONASTERISK);
    const std::wstring text = L"The help page cannot be opened: no program opens web pages.\r\n\r\n" + path;
    ::MessageBoxW(owner, text.c_str(), kProgramTitle, MB_OK | MB_ICONERROR);
}

const wchar_t* HelpPageOfTab(int tabIndex, bool mainWindowShowing)
{
    if (!mainWindowShowing) return L"";
    switch (tabIndex) {
    case 0: return L"launchertab.html";
    case 1: return L"groupstarttab.html";
    case 2: return L"optiontab.html";
    default: return L"mainwin.html";
    }
}
