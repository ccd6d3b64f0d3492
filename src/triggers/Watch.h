#pragma once
// TWatch: binds the hook library at run time, claims its receiver role with a hidden window of its
// own, and turns the library's three registered messages into events on the calling thread.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/Handles.h"
#include "base/Window.h"
#include "hook/HookShared.h"
#include "triggers/KeyDecode.h"
#include "triggers/MouseDecode.h"

inline constexpr wchar_t kCannotLoadLibraryFormat[] = L"Cannot load %s library";
inline constexpr wchar_t kReceiverRefusedMessage[] =
    L"Another instance already uses Launcher.dll.\r\nThe application unable to override it.\r\nSystem watching is "
    L"disabled.";

// The hook library beside the running program.
std::wstring DefaultHookLibraryPath();

class TWatch {
public:
    using TShellEvent = std::function<void(TWatch& sender, HWND handle, const std::wstring& appName)>;
    using TKeyNativeEvent = std::function<void(TWatch& sender, WPARAM wParam, LPARAM lParam)>;
    using TMouseEvent = std::function<void(TWatch& sender, TMouseButton button, TShiftState shift, int x, int y)>;
    using TMouseMoveEvent = std::function<void(TWatch& sender, TShiftState shift, int x, int y)>;
    // Shows a message box (text, MessageBox type flags); the program's default shows a real one.
    using TMessageBoxFn = std::function<void(const std::wstring& text, UINT type)>;

    TWatch();
    explicit TWatch(std::wstring libraryPath, TMessageBoxFn messageBox = {});
    ~TWatch();
    TWatch(const TWatch&) = delete;
    TWatch& operator=(const TWatch&) = delete;

    // Binds the library if needed, then starts the kind (0 shell, 1 keyboard, 2 mouse). Failures
    // are shown in a message box and go no further.
    void StartWatch(WatchKind kind) noexcept;
    // Stops the kind; when the library then watches nothing at all, releases it.
    void StopWatch(WatchKind kind) noexcept;

    void BindLibrary();
    void ReleaseLibrary() noexcept;

    static std::wstring GetVirtualKeyName(std::uint32_t code);
    static TKeyNativeInfo DecodeKeyData(std::uint32_t flags);

    bool NotifyOwnEvents() const noexcept { return m_notifyOwnEvents; }
    void SetNotifyOwnEvents(bool value) noexcept { m_notifyOwnEvents = value; }
    bool RepeatedEvents() const noexcept { return m_repeatedEvents; }
    void SetRepeatedEvents(bool value) noexcept { m_repeatedEvents = value; }
    // The program's application window; shell events about it are dropped unless NotifyOwnEvents.
    void SetApplicationWindow(HWND window) noexcept { m_applicationWindow = window; }

    bool Bound() const noexcept { return static_cast<bool>(m_library); }
    bool Disabled() const noexcept { return m_disabled; }
    HWND ReceiverWindow() const noexcept;

    // Published events; each fires only when assigned.
    TShellEvent OnWindowCreated;
    TShellEvent OnWindowDestroyed;
    TShellEvent OnActivateShellWindow;
    TShellEvent OnWindowActivated;
    TKeyNativeEvent OnKeyNative;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

private:
    class TWatchReceiver;
    friend class TWatchReceiver;

    // The receiver window's procedure; returns false for messages it does not decode.
    bool Decode(UINT message, WPARAM wParam, LPARAM lParam);
    void ShellEvent(LPARAM code, HWND window);
    void MouseEvent(std::uint32_t message, std::uint32_t point);
    bool AllEntryPointsBound() const noexcept;
    void ClearEntryPoints() noexcept;
    void ShowError(const std::wstring& text) const;
    void ShowPlain(const std::wstring& text) const noexcept;

    std::wstring m_libraryPath;
    TMessageBoxFn m_messageBox;
    // Lives as long as the component, so a handler that releases the library from inside the
    // receiver's own procedure leaves no dangling object behind; only its window comes and goes.
    std::unique_ptr<TWatchReceiver> m_receiver;
    UniqueHmodule m_library;
    bool m_disabled = false;
    UINT m_shellMessage = 0;
    UINT m_keyMessage = 0;
    UINT m_mouseMessage = 0;
    TStartWatching m_startWatching = nullptr;
    TStopWatching m_stopWatching = nullptr;
    TStopAll m_stopAll = nullptr;
    TStillWatching m_stillWatching = nullptr;
    TSetReceiver m_setReceiver = nullptr;
    TGetReceiver m_getReceiver = nullptr;
    bool m_notifyOwnEvents = false;
    bool m_repeatedEvents = false;
    HWND m_applicationWindow = nullptr;
    std::wstring m_lastActivatedTitle;
};
