#include "hotkeys/SurfaceHotKeys.h"

#include <commctrl.h>

void HotKeyEdit::Attach(HWND control)
{
    m_control = control;
    if (m_control) Set(m_value);
}

TShortCut HotKeyEdit::Get() const
{
    if (!m_control) return m_value;
    return ShortCutFromHotKeyControl(static_cast<std::uint16_t>(::SendMessageW(m_control, HKM_GETHOTKEY, 0, 0)));
}

void HotKeyEdit::Set(TShortCut value)
{
    m_value = value;
    if (m_control) ::SendMessageW(m_control, HKM_SETHOTKEY, HotKeyControlFromShortCut(value), 0);
}

TSurfaceHotKeys::TSurfaceHotKeys(HWND owner, TOrvoWndProcHook& hook, HotKeyIdSource& ids, SurfaceHotKeyHost& host)
    : m_host(host), m_popup(SurfaceHotKey::Popup, owner, hook, ids), m_iconWindow(SurfaceHotKey::IconWindow, owner, hook, ids)
{
    Bind(m_popup);
    Bind(m_iconWindow);
    // OrvoHotKeyPopupHotKey and OrvoHotKeyIconWindowHotKey.
    m_popup.component.OnHotKey = [this](TOrvoHotKey&) { m_host.OpenPopupMenuByHotkey(); };
    m_iconWindow.component.OnHotKey = [this](TOrvoHotKey&) { m_host.OpenIconWindowByHotkey(); };
}

void TSurfaceHotKeys::Bind(HotKeySlot& slot)
{
    slot.component.OnHotKeyRegisterSuccess = [this, &slot](TOrvoHotKey&, TShortCut&, std::uint16_t& virtKey,
                                                            std::uint16_t& modifier) {
        RegisterSuccess(slot, virtKey, modifier);
    };
    slot.component.OnHotKeyRegisterFailed = [this, &slot](TOrvoHotKey&, TShortCut& hotKey, std::uint16_t&,
                                                           std::uint16_t&) { RegisterFailed(slot, hotKey); };
}

void TSurfaceHotKeys::Restore(SurfaceHotKey which, int modifiers, int virtualKey)
{
    const std::optional<TShortCut> stored = StoredSurfaceHotKey(modifiers, virtualKey);
    if (!stored) return;
    HotKeySlot& slot = Slot(which);
    slot.edit.Set(*stored);
    EditExit(slot);
}

void TSurfaceHotKeys::AttachEdits(HWND hotKeyPopup, HWND hotKeyIconWin)
{
    m_popup.edit.Attach(hotKeyPopup);
    m_iconWindow.edit.Attach(hotKeyIconWin);
}

void TSurfaceHotKeys::EditExit(HotKeySlot& slot)
{
    const TShortCut wanted = slot.edit.Get();
    slot.component.SetHotKey(wanted);
    slot.component.SetActive(slot.component.HotKey() != 0);
    // An emptied field gives its hotkey up for good, so it is not restored at the next start; and
    // with one hotkey gone the main icon may no longer stay hidden.
    if (wanted == 0) {
        m_host.StoreSurfaceHotKey(slot.which, 0, 0);
        m_hideTrayIconEnabled = false;
        m_host.UncheckHideTrayIcon();
        m_host.StoreHideTrayIcon(false);
        m_host.UpdateMainTrayIcon();
    }
}

void TSurfaceHotKeys::RegisterSuccess(HotKeySlot& slot, std::uint16_t virtKey, std::uint16_t modifier)
{
    m_host.StoreSurfaceHotKey(slot.which, modifier, virtKey);
    m_hideTrayIconEnabled = m_popup.edit.Get() != 0 && m_iconWindow.edit.Get() != 0;
    m_host.StoreHideTrayIcon(m_host.HideTrayIconChecked());
    m_host.UpdateMainTrayIcon();
}

void TSurfaceHotKeys::RegisterFailed(HotKeySlot& slot, TShortCut hotKey)
{
    slot.edit.Set(hotKey);
    m_host.StoreSurfaceHotKey(slot.which, 0, 0);
    m_hideTrayIconEnabled = false;
    m_host.UncheckHideTrayIcon();
    // With the option withdrawn the icon comes back, so the program stays reachable.
    m_host.UpdateMainTrayIcon();
}
