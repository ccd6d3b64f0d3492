#pragma once
// Base of every window class of the program: attaches `this` at WM_NCCREATE and dispatches to a
// virtual HandleMessage. Window procedures never let an exception escape.

#include <windows.h>

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const noexcept { return m_hwnd; }
    void Destroy() noexcept;

protected:
    // Registers the class once per process; the class's window procedure is ours.
    static void RegisterWindowClass(const wchar_t* className, UINT style, HICON icon = nullptr,
                                    HBRUSH background = nullptr);
    // Creates the window with `this` as its creation parameter. Throws LauncherError on failure.
    void CreateWindowInstance(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x,
                              int y, int width, int height, HWND parent, HMENU menu = nullptr);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    // Called after WM_NCDESTROY; the handle is already gone.
    virtual void OnFinalDestroy() {}

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    HWND m_hwnd = nullptr;
};

// A modeless child dialog made from a .rc template (the pages of the main window).
class ChildDialog {
public:
    ChildDialog() = default;
    ChildDialog(const ChildDialog&) = delete;
    ChildDialog& operator=(const ChildDialog&) = delete;
    virtual ~ChildDialog();

    void Create(HINSTANCE instance, int templateId, HWND parent);
    HWND Handle() const noexcept { return m_hwnd; }

protected:
    virtual INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    HWND m_hwnd = nullptr;
};
