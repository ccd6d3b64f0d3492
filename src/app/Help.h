#pragma once
// The program's help: HTML Help, loaded at run time. A missing help file or help system fails
// silently.

#include <windows.h>

#include <string>

#include "base/Handles.h"

class HelpSystem {
public:
    explicit HelpSystem(std::wstring helpFile) : m_helpFile(std::move(helpFile)) {}
    const std::wstring& HelpFile() const noexcept { return m_helpFile; }

    // A context popup for a control's help context id, at the cursor.
    void ShowContextPopup(HWND owner, DWORD contextId, POINT where);
    // A page of the help file ("launchertab.html"), or the file itself when `page` is empty.
    void ShowTopic(HWND owner, const std::wstring& page);

private:
    using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    HtmlHelpFn Bind();

    std::wstring m_helpFile;
    UniqueHmodule m_library;
    HtmlHelpFn m_htmlHelp = nullptr;
    bool m_bindTried = false;
};

// The help page of a tab of the main window.
const wchar_t* HelpPageOfTab(int tabIndex, bool mainWindowShowing);
