#include "triggers/Watch.h"

#include "base/LauncherError.h"
#include "base/Strings.h"
#include "base/WinUtil.h"

namespace {

constexpr wchar_t kReceiverClass[] = L"OrvoWatchReceiver";
constexpr wchar_t kMessageCaption[] = L"Orvo Launcher";

template <typename Fn>
Fn BindEntryPoint(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// Loads a library from its full path, its own imports from its folder and System32 only. The
// process's search for libraries by name is left alone: every program the launcher starts would
// inherit a changed one. Systems without the search flags (before Windows 8, unless updated)
// refuse them as an invalid parameter; the full path with the altered search order then finds the
// imports in the library's folder first, and the rest as the system always does.
HMODULE LoadLibraryByFullPath(const std::wstring& path) noexcept
{
    HMODULE module =
        ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module && ::GetLastError() == ERROR_INVALID_PARAMETER)
        module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return module;
}

} // namespace

std::wstring DefaultHookLibraryPath() { return ExtractFilePath(ModuleFileName(nullptr)) + kHookLibraryName; }

// The hidden window that holds the receiver role. Message-only: it receives posted messages on the
// thread that created it and never shows up anywhere.
class TWatch::TWatchReceiver : public Window {
public:
    explicit TWatchReceiver(TWatch& owner) : m_owner(owner) {}

    void Create()
    {
        RegisterWindowClass(kReceiverClass, 0);
        CreateWindowInstance(0, kReceiverClass, L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (m_owner.Decode(message, wParam, lParam)) return 0;
        return DefaultHandling(message, wParam, lParam);
    }

private:
    TWatch& m_owner;
};

TWatch::TWatch() : TWatch(DefaultHookLibraryPath()) {}

TWatch::TWatch(std::wstring libraryPath, TMessageBoxFn messageBox)
    : m_libraryPath(std::move(libraryPath)),
      m_messageBox(std::move(messageBox)),
      m_receiver(std::make_unique<TWatchReceiver>(*this))
{
    if (!m_messageBox) {
        m_messageBox = [](const std::wstring& text, UINT type) {
            ::MessageBoxW(nullptr, text.c_str(), kMessageCaption, type);
        };
    }
    m_shellMessage = ::RegisterWindowMessageW(kWatchShellMessage);
    m_keyMessage = ::RegisterWindowMessageW(kWatchKeyMessage);
    m_mouseMessage = ::RegisterWindowMessageW(kWatchMouseMessage);
}

TWatch::~TWatch() { ReleaseLibrary(); }

HWND TWatch::ReceiverWindow() const noexcept { return m_receiver->Handle(); }

void TWatch::StartWatch(WatchKind kind) noexcept
{
    try {
        BindLibrary();
        if (m_startWatching) m_startWatching(kind);
    } catch (const LauncherError& error) {
        ShowPlain(error.Message());
    } catch (const std::exception& error) {
        ShowPlain(Utf8ToWide(error.what()));
    } catch (...) {
    }
}

void TWatch::StopWatch(WatchKind kind) noexcept
{
    try {
        if (!m_library || !m_stopWatching || !m_stillWatching) return;
        m_stopWatching(kind);
        if (!m_stillWatching()) ReleaseLibrary();
    } catch (const LauncherError& error) {
        ShowPlain(error.Message());
    } catch (const std::exception& error) {
        ShowPlain(Utf8ToWide(error.what()));
    } catch (...) {
    }
}

void TWatch::BindLibrary()
{
    if (m_disabled || m_library) return;
    // By full path from the program's own folder, never by the system's search for the name.
    m_library.reset(LoadLibraryByFullPath(m_libraryPath));
    if (m_library) {
        try {
            m_receiver->Create();
        } catch (...) {
            ReleaseLibrary();
            throw;
        }
        HMODULE module = m_library.get();
        m_startWatching = BindEntryPoint<TStartWatching>(module, "StartWatching");
        m_stopWatching = BindEntryPoint<TStopWatching>(module, "StopWatching");
        m_stopAll = BindEntryPoint<TStopAll>(module, "StopAll");
        m_stillWatching = BindEntryPoint<TStillWatching>(module, "StillWatching");
        m_setReceiver = BindEntryPoint<TSetReceiver>(module, "SetReceiver");
        m_getReceiver = BindEntryPoint<TGetReceiver>(module, "GetReceiver");
    }
    if (m_setReceiver) {
        HWND receiver = m_receiver->Handle();
        if (!m_setReceiver(receiver)) {
            if (m_getReceiver && !m_getReceiver()) {
                // Nobody holds the role: this process has no record, or another process holds the
                // record's lock past the wait. Watching is off without a word; the program goes on.
                m_disabled = true;
            } else {
                // Another copy of the program holds the role, or held it and ended without letting
                // go: it is taken over.
                m_setReceiver(nullptr);
                if (!m_setReceiver(receiver)) {
                    ShowError(kReceiverRefusedMessage);
                    m_disabled = true;
                }
            }
        }
    }
    if (m_library && !m_disabled && AllEntryPointsBound()) return;

    if (!m_library || (!AllEntryPointsBound() && !m_disabled))
        ShowError(FormatMessageText(kCannotLoadLibraryFormat, kHookLibraryName));
    m_disabled = true;
    ReleaseLibrary();
}

void TWatch::ReleaseLibrary() noexcept
{
    try {
        HWND receiver = m_receiver->Handle();
        // The hooks stop only when this copy of the program still holds the receiver role.
        if (receiver && m_getReceiver && m_getReceiver() == receiver) {
            if (m_setReceiver) m_setReceiver(nullptr);
            if (m_stopAll) m_stopAll();
        }
        m_receiver->Destroy();
        m_library.reset();
    } catch (...) {
    }
    m_library.release();
    ClearEntryPoints();
}

std::wstring TWatch::GetVirtualKeyName(std::uint32_t code)
{
    return VirtualKeyName(code, ::MapVirtualKeyW(code, MAPVK_VK_TO_CHAR));
}

TKeyNativeInfo TWatch::DecodeKeyData(std::uint32_t flags)
{
    TKeyNativeInfo info = DecodeKeyFlags(flags);
    wchar_t name[80] = {};
    if (::GetKeyNameTextW(static_cast<LONG>(flags), name, 80) > 0) info.KeyName = name;
    return info;
}

bool TWatch::Decode(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == m_shellMessage) {
        ShellEvent(lParam, reinterpret_cast<HWND>(wParam));
    } else if (message == m_keyMessage) {
        if (OnKeyNative) OnKeyNative(*this, wParam, lParam);
    } else if (message == m_mouseMessage) {
        MouseEvent(static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam));
    } else {
        return false;
    }
    return true;
}

void TWatch::ShellEvent(LPARAM code, HWND window)
{
    if (!m_notifyOwnEvents && window == m_applicationWindow) return;
    wchar_t buffer[300] = {};
    std::wstring title = ::GetWindowTextW(window, buffer, 300) > 0 ? std::wstring(buffer) : std::wstring();
    switch (code) {
    case HSHELL_WINDOWCREATED:
        if (OnWindowCreated) OnWindowCreated(*this, window, title);
        break;
    case HSHELL_WINDOWDESTROYED:
        if (OnWindowDestroyed) OnWindowDestroyed(*this, window, title);
        break;
    case HSHELL_ACTIVATESHELLWINDOW:
        if (OnActivateShellWindow) OnActivateShellWindow(*this, window, title);
        break;
    case HSHELL_WINDOWACTIVATED:
        if (OnWindowActivated) {
            bool repeated = !m_repeatedEvents && title == m_lastActivatedTitle;
            m_lastActivatedTitle = title;
            if (!repeated) OnWindowActivated(*this, window, title);
        }
        break;
    default:
        break;
    }
}

void TWatch::MouseEvent(std::uint32_t message, std::uint32_t point)
{
    DecodedMouseEvent event = DecodeMouseEvent(message, point);
    switch (event.kind) {
    case MouseEventKind::Move:
        if (OnMouseMove) OnMouseMove(*this, event.shift, event.x, event.y);
        break;
    case MouseEventKind::Down:
        if (OnMouseDown) OnMouseDown(*this, event.button, event.shift, event.x, event.y);
        break;
    case MouseEventKind::Up:
        if (OnMouseUp) OnMouseUp(*this, event.button, event.shift, event.x, event.y);
        break;
    }
}

bool TWatch::AllEntryPointsBound() const noexcept
{
    return m_startWatching && m_stopWatching && m_stopAll && m_stillWatching && m_setReceiver && m_getReceiver;
}

void TWatch::ClearEntryPoints() noexcept
{
    m_startWatching = nullptr;
    m_stopWatching = nullptr;
    m_stopAll = nullptr;
    m_stillWatching = nullptr;
    m_setReceiver = nullptr;
    m_getReceiver = nullptr;
}

void TWatch::ShowError(const std::wstring& text) const { m_messageBox(text, MB_OK | MB_ICONERROR); }

void TWatch::ShowPlain(const std::wstring& text) const noexcept
{
    try {
        m_messageBox(text, MB_OK);
    } catch (...) {
    }
}
