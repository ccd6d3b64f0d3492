#include "components/HintShadow.h"

#include <commctrl.h>

#include "base/LauncherError.h"
#include "components/SmallControlRules.h"

void TShadowedHintWindow::RegisterHintClass(const OsVersion& version)
{
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, kClassName, &existing)) return;

    INITCOMMONCONTROLSEX init{sizeof(init), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&init);
    WNDCLASSEXW tooltip{};
    tooltip.cbSize = sizeof(tooltip);
    if (!::GetClassInfoExW(nullptr, TOOLTIPS_CLASSW, &tooltip)) throw LauncherError(L"Cannot register window class");

    // Same window procedure and extra bytes: only the class style differs from the system's.
    WNDCLASSEXW wc = tooltip;
    wc.style = ShadowedHintClassStyle(tooltip.style & ~CS_GLOBALCLASS, version);
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc)) throw LauncherError(L"Cannot register window class");
}

HWND TShadowedHintWindow::Create(HWND owner)
{
    RegisterHintClass(CurrentOsVersion());
    HWND hint = ::CreateWindowExW(WS_EX_TOPMOST, kClassName, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (!hint) throw LauncherError(L"Cannot create window");
    return hint;
}

void TShadowedHintWindow::RemoveAllToolBarButtons(HWND toolBar) noexcept
{
    if (::SendMessageW(toolBar, TB_BUTTONCOUNT, 0, 0) <= 0) return;
    HWND hint = reinterpret_cast<HWND>(::SendMessageW(toolBar, TB_GETTOOLTIPS, 0, 0));
    ::SendMessageW(toolBar, TB_SETTOOLTIPS, 0, 0);
    while (::SendMessageW(toolBar, TB_BUTTONCOUNT, 0, 0) > 0)
        if (!::SendMessageW(toolBar, TB_DELETEBUTTON, 0, 0)) break;
    if (hint) ::DestroyWindow(hint);
    AttachToToolBar(toolBar);
}

void TShadowedHintWindow::AttachToToolBar(HWND toolBar) noexcept
{
    try {
        HWND hint = Create(::GetAncestor(toolBar, GA_ROOT));
        HWND own = reinterpret_cast<HWND>(::SendMessageW(toolBar, TB_GETTOOLTIPS, 0, 0));
        ::SendMessageW(toolBar, TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(hint), 0);
        if (own) ::DestroyWindow(own);
    } catch (...) {
    }
}
