#pragma once
// TShadowedHintWindow: the program's hint (tooltip) window, the system's tooltip control under a
// class of its own whose class style adds a drop shadow where the system draws one.

#include <windows.h>

#include "base/OsVersion.h"

class TShadowedHintWindow {
public:
    static constexpr const wchar_t* kClassName = L"TShadowedHintWindow";

    // Registers the class once per process, from the tooltip class of the loaded common controls.
    // Call it at start-up, before the first window that shows hints. Throws LauncherError.
    static void RegisterHintClass(const OsVersion& version);
    // A hint window owned by `owner` (and destroyed with it), ready to be handed to controls
    // (TB_SETTOOLTIPS, TVM_SETTOOLTIPS) or to take tools of its own. Registers the class for the
    // running system when that has not been done. Throws LauncherError.
    static HWND Create(HWND owner);
    // Gives a tool bar created with TBSTYLE_TOOLTIPS a hint window of this class in place of its
    // own, before its first button. Silent when the window cannot be made: the bar keeps its own.
    static void AttachToToolBar(HWND toolBar) noexcept;
    // Removes every button of a tool bar whose hints such a window shows. Each removal would also
    // take its hint out of the hint window, one search and move of the whole list per button; the
    // bar gets a fresh hint window instead.
    static void RemoveAllToolBarButtons(HWND toolBar) noexcept;
};
