#include "app/ApplicationWindow.h"

#include "app/SingleInstance.h"

void ApplicationWindow::Create(const wchar_t* title)
{
    RegisterWindowClass(kApplicationClass, 0, ::LoadIconW(::GetModuleHandleW(nullptr), L"MAINICON"));
    // A zero-sized window at the centre of the screen: only its taskbar button is ever seen.
    const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
    CreateWindowInstance(WS_EX_TOOLWINDOW, kApplicationClass, title,
                         WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0, nullptr);
}

void ApplicationWindow::SetResidentStyle() { ::SetWindowLongPtrW(Handle(), GWL_EXSTYLE, WS_EX_TOOLWINDOW); }

void ApplicationWindow::SetShownStyle() { ::SetWindowLongPtrW(Handle(), GWL_EXSTYLE, WS_EX_APPWINDOW); }

void ApplicationWindow::Hide() { ::ShowWindow(Handle(), SW_HIDE); }

void ApplicationWindow::ShowNormal() { ::ShowWindow(Handle(), SW_SHOWNORMAL); }

LRESULT ApplicationWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE) {
            if (onMinimize) onMinimize();
            return 0;
        }
        if ((wParam & 0xFFF0) == SC_CLOSE) return 0;  // only the Exit command ends the program
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && onActivate) {
            onActivate();
            return 0;
        }
        break;
    case WM_CLOSE:
        return 0;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}
