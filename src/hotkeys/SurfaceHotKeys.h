#pragma once
// The two surface hotkeys, `OrvoHotKeyPopup` (opens the popup menu) and `OrvoHotKeyIconWindow`
// (opens the floating window), with the options page's two hotkey edits `HotKeyPopup` and
// `HotKeyIconWin`. Until the page attaches its controls, each edit's value is held here.

#include <windows.h>

#include <functional>

#include "hotkeys/OrvoHotKey.h"

enum class SurfaceHotKey { Popup, IconWindow };

// What the surface hotkeys need of the main window.
class SurfaceHotKeyHost {
public:
    virtual ~SurfaceHotKeyHost() = default;
    virtual void OpenPopupMenuByHotkey() = 0;
    virtual void OpenIconWindowByHotkey() = 0;
    // The hotkey's two settings, in RegisterHotKey form.
    virtual void StoreSurfaceHotKey(SurfaceHotKey which, int modifiers, int virtualKey) = 0;
    // "Hide main tray icon" (`ActionHideTrayIcon`): its check and its setting.
    virtual bool HideTrayIconChecked() const = 0;
    virtual void UncheckHideTrayIcon() = 0;
    virtual void StoreHideTrayIcon(bool hidden) = 0;
    // The main tray icon is placed or removed as the check says.
    virtual void UpdateMainTrayIcon() = 0;
};

// A hotkey control (HOTKEY_CLASS) or, while none is attached, its value.
class HotKeyEdit {
public:
    // The control shows the value held so far; null detaches.
    void Attach(HWND control);
    TShortCut Get() const;
    void Set(TShortCut value);

private:
    HWND m_control = nullptr;
    TShortCut m_value = 0;
};

class TSurfaceHotKeys {
public:
    TSurfaceHotKeys(HWND owner, TOrvoWndProcHook& hook, HotKeyIdSource& ids, SurfaceHotKeyHost& host);

    // Start-up: a stored pair of non-zero numbers goes into its edit and is registered. A pair that
    // is not a key with at least one modifier is not restored. Nothing is written: a combination
    // another program holds now stays stored, shown in its edit as not registered.
    void Restore(SurfaceHotKey which, int modifiers, int virtualKey);
    // "Refresh Hotkey": each edit's hotkey that is not registered is asked for again, as stored.
    void RegisterAgain();

    // The options page's two controls; they show the hotkeys the user chose.
    void AttachEdits(HWND hotKeyPopup, HWND hotKeyIconWin);
    // The edits' exit events: the edit's hotkey becomes the component's, active when not 0. Only
    // here is the stored pair changed: to the edit's hotkey, whether the system granted it or not.
    void HotKeyPopupExit() { EditExit(m_popup); }
    void HotKeyIconWinExit() { EditExit(m_iconWindow); }

    // Hiding the main tray icon is offered only while both hotkeys work.
    bool HideTrayIconEnabled() const noexcept { return m_hideTrayIconEnabled; }
    // The edit holds a hotkey that the system did not grant (another program holds it).
    bool NotRegistered(SurfaceHotKey which) const;
    // Called after a registration was tried, so what shows the hotkeys' state can follow.
    std::function<void()> OnRegistrationChange;
    TOrvoHotKey& OrvoHotKeyPopup() noexcept { return m_popup.component; }
    TOrvoHotKey& OrvoHotKeyIconWindow() noexcept { return m_iconWindow.component; }

private:
    struct HotKeySlot {
        HotKeySlot(SurfaceHotKey w, HWND owner, TOrvoWndProcHook& hook, HotKeyIdSource& ids)
            : which(w), component(owner, hook, ids)
        {
        }
        SurfaceHotKey which;
        TOrvoHotKey component;
        HotKeyEdit edit;
        TShortCut wanted = 0;  // asked for at the latest registration, granted or not
    };

    HotKeySlot& Slot(SurfaceHotKey which) noexcept { return which == SurfaceHotKey::Popup ? m_popup : m_iconWindow; }
    const HotKeySlot& Slot(SurfaceHotKey which) const noexcept
    {
        return which == SurfaceHotKey::Popup ? m_popup : m_iconWindow;
    }
    static bool Works(const HotKeySlot& slot) noexcept;
    void Bind(HotKeySlot& slot);
    // Registers `wanted` (0: none); `byUser`: the user left the edit, so the pair is stored.
    void Apply(HotKeySlot& slot, TShortCut wanted, bool byUser);
    void EditExit(HotKeySlot& slot) { Apply(slot, slot.edit.Get(), true); }
    void RegisterSuccess(HotKeySlot& slot, std::uint16_t virtKey, std::uint16_t modifier);
    void RegisterFailed(HotKeySlot& slot);

    SurfaceHotKeyHost& m_host;
    HotKeySlot m_popup;
    HotKeySlot m_iconWindow;
    bool m_hideTrayIconEnabled = false;
    bool m_byUser = false;  // while Apply runs: whether the user's edit asked for it
};
