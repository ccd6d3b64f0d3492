#pragma once
// The program's help. An HTML Help file beside the program is shown through the HTML Help
// control, loaded at run time; without one (or without the control) the HTML pages of the help
// folder beside the program open in the web browser. Help that cannot be shown says so.

#include <windows.h>

#include <string>

#include "app/HelpRules.h"
#include "base/Handles.h"

class HelpSystem {
public:
    // `pagesFolder` holds the HTML pages, with a trailing backslash.
    HelpSystem(std::wstring helpFile, std::wstring pagesFolder)
        : m_helpFile(std::move(helpFile)), m_pagesFolder(std::move(pagesFolder))
    {
    }
    const std::wstring& HelpFile() const noexcept { return m_helpFile; }

    // Help on a control, by its help context id: the help file's popup at the cursor, or the
    // control's paragraph on its page. Without a help file, an id that has no topic (0 among
    // them) opens `fallbackPage`; the help file shows nothing for 0.
    void ShowContextHelp(HWND owner, DWORD contextId, POINT where, const std::wstring& fallbackPage);
    // A page ("launchertab.html"), or the help's first page when `page` is empty.
    void ShowTopic(HWND owner, const std::wstring& page);

private:
    using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    // The HTML Help function when the help file exists and the control loads; null otherwise.
    HtmlHelpFn HelpFileViewer();
    HtmlHelpFn Bind();
    void ShowContextPopup(HtmlHelpFn htmlHelp, HWND owner, DWORD contextId, POINT where);
    void OpenPage(HWND owner, const HelpTopic& topic);

    std::wstring m_helpFile;
    std::wstring m_pagesFolder;
    UniqueHmodule m_library;
    HtmlHelpFn m_htmlHelp = nullptr;
    bool m_bindTried = false;
};

// The help page of a tab of the main window.
const wchar_t* HelpPageOfTab(int tabIndex, bool mainWindowShowing);
