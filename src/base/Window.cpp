#include "base/Window.h"

#include "base/ErrorReport.h"
#include "base/LauncherError.h"

Window::~Window() { Destroy(); }

void Window::Destroy() noexcept
{
    if (m_hwnd && ::IsWindow(m_hwnd)) ::DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
}

void Window::RegisterWindowClass(const wchar_t* className, UINT style, HICON icon, HBRUSH background)
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, className, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = &Window::StaticWindowProc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    if (!::RegisterClassExW(&wc)) throw LauncherError(L"Cannot register window class");
}

void Window::CreateWindowInstance(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                                  int x, int y, int width, int height, HWND parent, HMENU menu)
{
    HWND hwnd = ::CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menu,
                                  ::GetModuleHandleW(nullptr), this);
    if (!hwnd) throw LauncherError(L"Cannot create window");
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefaultHandling(message, wParam, lParam);
}

LRESULT Window::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return ::DefWindowProcW(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        self->m_hwnd = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);

    LRESULT result = 0;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // A failure inside one message must not unwind through the system's dispatcher: the user
        // is told, and the message gets its default handling.
        ShowCurrentException();
        result = ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        self->OnFinalDestroy();
    }
    return result;
}

ChildDialog::~ChildDialog()
{
    if (m_hwnd && ::IsWindow(m_hwnd)) ::DestroyWindow(m_hwnd);
}

void ChildDialog::Create(HINSTANCE instance, int templateId, HWND parent)
{
    HWND hwnd = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, &ChildDialog::StaticDialogProc,
                                     reinterpret_cast<LPARAM>(this));
    if (!hwnd) throw LauncherError(L"Cannot create page");
}

INT_PTR ChildDialog::HandleDialogMessage(UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

INT_PTR CALLBACK ChildDialog::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    ChildDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<ChildDialog*>(lParam);
        self->m_hwnd = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<ChildDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;
    INT_PTR result = FALSE;
    try {
        result = self->HandleDialogMessage(message, wParam, lParam);
    } catch (...) {
        ShowCurrentException();
        result = FALSE;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->m_hwnd = nullptr;
    }
    return result;
}
