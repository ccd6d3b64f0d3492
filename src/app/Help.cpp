#include "app/Help.h"

#include "base/WinUtil.h"

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

void HelpSystem::ShowContextPopup(HWND owner, DWORD contextId, POINT where)
{
    if (!FileExists(m_helpFile)) return;
    HtmlHelpFn htmlHelp = Bind();
    if (!htmlHelp) return;
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
    if (!FileExists(m_helpFile)) return;
    HtmlHelpFn htmlHelp = Bind();
    if (!htmlHelp) return;
    const std::wstring target = page.empty() ? m_helpFile : m_helpFile + L"::/pages/" + page;
    htmlHelp(owner, target.c_str(), kHhDisplayTopic, 0);
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
