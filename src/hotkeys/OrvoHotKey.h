#pragma once
// One system-wide hotkey, registered on its owner's window: it hears WM_HOTKEY through the window
// procedure hook, after the owner's own procedure, and reports its registration through events
// that may change the hotkey. User-interface thread only.

#include <windows.h>

#include <cstdint>
#include <functional>

#include "components/OrvoWndProcHook.h"
#include "hotkeys/HotKeyRules.h"

// The program-wide counter of activations: every activation of any component takes the next
// identifier, so identifiers are not reused within a run.
class HotKeyIdSource {
public:
    std::uint16_t Next() noexcept { return SurfaceHotKeyId(m_activations++); }

private:
    std::uint32_t m_activations = 0;
};

class TOrvoHotKey {
public:
    using RegisterEvent =
        std::function<void(TOrvoHotKey& sender, TShortCut& hotKey, std::uint16_t& virtKey, std::uint16_t& modifier)>;

    TOrvoHotKey(HWND owner, TOrvoWndProcHook& hook, HotKeyIdSource& ids);
    TOrvoHotKey(const TOrvoHotKey&) = delete;
    TOrvoHotKey& operator=(const TOrvoHotKey&) = delete;
    virtual ~TOrvoHotKey();

    // Whether the component wants its hotkey registered. Still true after a refused registration:
    // a working hotkey is told by a non-zero HotKey.
    bool Active() const noexcept { return m_active; }
    void SetActive(bool value);
    TShortCut HotKey() const noexcept { return m_hotKey; }
    // A different value re-registers under the new key when the component is active.
    void SetHotKey(TShortCut value);
    // The identifier of the latest activation.
    std::uint16_t Id() const noexcept { return m_id; }
    bool Registered() const noexcept { return m_window != nullptr; }

    std::function<void(TOrvoHotKey& sender)> OnHotKey;
    RegisterEvent OnHotKeyRegisterFailed;  // HotKey, key and modifier are already 0
    RegisterEvent OnHotKeyRegisterSuccess;

protected:
    // False at once when a window is held. On a refusal HotKey, key and modifier become 0.
    virtual bool Register();
    virtual void DoHotKey();

private:
    static bool HookProc(void* self, TWndMessage& message);
    TWndProcCallback Callback() noexcept { return {&TOrvoHotKey::HookProc, this}; }
    void Unhook() noexcept;

    HWND m_owner;
    TOrvoWndProcHook& m_hook;
    HotKeyIdSource& m_ids;
    bool m_active = false;
    TShortCut m_hotKey = 0;
    std::uint16_t m_virtualKey = 0;
    std::uint16_t m_modifier = 0;
    HWND m_window = nullptr;
    std::uint16_t m_id = 0;
    bool m_hooked = false;
};
