#pragma once
// The program's own icon in the notification area.

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "base/Handles.h"
#include "tray/NotifyIcon.h"

class MainTrayIcon {
public:
    MainTrayIcon(HWND owner, NotifyIconFunction notify = SystemNotifyIcon());
    ~MainTrayIcon();

    // The built-in image becomes the visible one: "NICON1", or where the taskbar follows a light or
    // dark theme, the variant drawn for it.
    void UseBuiltIn();
    // After Windows announced a new color theme: the built-in image follows it. True when it changed.
    bool FollowTheme();
    // Icon `index` of `file` becomes the visible one; "NICON1" when the file holds no such icon.
    void UseCustom(const std::wstring& file, int index);
    HICON VisibleIcon() const noexcept { return m_useCustom ? m_custom.get() : m_builtIn.get(); }
    // The two images the options page shows in one place, one at a time.
    HICON BuiltInIcon() const noexcept { return m_builtIn.get(); }
    HICON CustomIcon() const noexcept { return m_custom.get(); }
    bool UsesCustom() const noexcept { return m_useCustom; }

    // The tip from the next Show on; empty for the program's title.
    void SetTip(std::wstring tip) { m_tip = std::move(tip); }
    // Places, refreshes or removes the icon. `forceAdd` after the taskbar was re-created.
    void Show(bool hiddenByOption, bool forceAdd);
    void Remove();
    bool Shown() const noexcept { return m_shown; }
    // Off while the floating window that hovering the icon opened is up: the shell shows the tip
    // once the mouse has rested on the icon, right where that window opens, and keeps it over the
    // window's buttons. An icon without a tip text gets no tip.
    void SetTipShown(bool shown);

private:
    std::wstring TipText() const;
    // The icon's record as it is to show now.
    NOTIFYICONDATAW Record() const;

    HWND m_owner;
    NotifyIconFunction m_notify;
    UniqueHicon m_builtIn;
    UniqueHicon m_custom;
    bool m_useCustom = false;
    bool m_shown = false;
    bool m_tipShown = true;
    const wchar_t* m_builtInName = nullptr;
    std::wstring m_tip;  // while a group runs; the title otherwise
};

// The small icon `index` of a file (the icon picker's extraction), or null.
HICON ExtractSmallIcon(const std::wstring& file, int index);
