#pragma once
// The two surface hotkeys, `OrvoHotKeyPopup` (opens the popup menu) and `OrvoHotKeyIconWindow`
// (opens the floating window), with the options page's two hotkey edits `HotKeyPopup` and
// `HotKeyIconWin`. Until the page attaches its controls, each edit's value is held here.

#include <windows.h>

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

    // Start-up: a stored pair of non-zero numbers goes into its edit and is applied as if the user
    // had left the edit. A pair that is not a key with at least one modifier is not restored.
    void Restore(SurfaceHotKey which, int modifiers, int virtualKey);

    // The options page's two controls; they show the hotkeys in effect.
    void AttachEdits(HWND hotKeyPopup, HWND hotKeyIconWin);
    // The edits' exit events: the edit's hotkey becomes the component's, active when not 0.
    void HotKeyPopupExit() { EditExit(m_popup); }
    void HotKeyIconWinExit() { EditExit(m_iconWindow); }

    // Hiding the main tray icon is offered only while both hotkeys exist.
    bool HideTrayIconEnabled() const noexcept { return m_hideTrayIconEnabled; }
    TShortCut EditHotKey(SurfaceHotKey which) const { return Slot(which).edit.Get(); }
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
    };

    HotKeySlot& Slot(SurfaceHotKey which) noexcept { return which == SurfaceHotKey::Popup ? m_popup : m_iconWindow; }
    const HotKeySlot& Slot(SurfaceHotKey which) const noexcept
    {
        return which == SurfaceHotKey::Popup ? m_popup : m_iconWindow;
    }
    void Bind(HotKeySlot& slot);
    void EditExit(HotKeySlot& slot);
    void RegisterSuccess(HotKeySlot& slot, std::uint16_t virtKey, std::uint16_t modifier);
    void RegisterFailed(HotKeySlot& slot, TShortCut hotKey);

    SurfaceHotKeyHost& m_host;
    HotKeySlot m_popup;
    HotKeySlot m_iconWindow;
    bool m_hideTrayIconEnabled = false;
};
