#pragma once
// Lets a non-visual component see the messages of another window (typically its owner) without
// that window's cooperation. Per window it keeps two chains of callbacks: one run before the
// window's own procedure and one run after it. User-interface thread only: a window can only be
// hooked from the thread that owns it.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// A message as the callbacks see it; `Result` is what the window's procedure answers.
struct TWndMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// A method: its code and the object it runs on. Returning true means handled: no later callback of
// the chain sees the message, and a before callback also keeps it from the window and the after chain.
struct TWndProcCallback {
    bool (*Code)(void* data, TWndMessage& message) = nullptr;
    void* Data = nullptr;
    bool operator==(const TWndProcCallback&) const = default;
};

enum class THookKind : std::uint8_t { Before = 0, After = 1 };

class TOrvoWndProcHook {
public:
    TOrvoWndProcHook();
    TOrvoWndProcHook(const TOrvoWndProcHook&) = delete;
    TOrvoWndProcHook& operator=(const TOrvoWndProcHook&) = delete;
    // Every window still hooked gets its own procedure back.
    ~TOrvoWndProcHook();

    // Appends the callback to the window's chain of that kind (the same callback twice is two
    // entries) and installs the dispatcher when it is not installed. False for a missing window or
    // a callback without code, or when the dispatcher cannot be installed.
    bool HookWndProc(HWND control, THookKind kind, TWndProcCallback callback);
    // Removes the first entry of that chain equal to the callback (nothing when none is); when both
    // chains are then empty the window gets its own procedure back and is forgotten. True whenever
    // the window is known, false for a missing window, a callback without code or a window that has
    // no callbacks.
    bool UnhookWndProc(HWND control, THookKind kind, TWndProcCallback callback);

    // The dispatcher is installed on the window.
    bool IsHooked(HWND control) const;
    // Windows that hold callbacks.
    std::size_t KnownWindowCount() const noexcept { return m_infos.size(); }

private:
    class TOrvoHookInfos;
    static LRESULT CALLBACK Dispatcher(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data) noexcept;
    TOrvoHookInfos* Find(HWND control) const noexcept;
    void Forget(TOrvoHookInfos* infos) noexcept;

    std::vector<std::unique_ptr<TOrvoHookInfos>> m_infos;
};
