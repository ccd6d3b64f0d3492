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
    slot.component.OnHotKeyRegisterFailed = [this, &slot](TOrvoHotKey&, TShortCut&, std::uint16_t&, std::uint16_t&) {
        RegisterFailed(slot);
    };
}

bool TSurfaceHotKeys::Works(const HotKeySlot& slot) noexcept
{
    return slot.component.Registered() && slot.component.HotKey() != 0;
}

bool TSurfaceHotKeys::NotRegistered(SurfaceHotKey which) const
{
    const HotKeySlot& slot = Slot(which);
    return slot.wanted != 0 && !Works(slot);
}

void TSurfaceHotKeys::Restore(SurfaceHotKey which, int modifiers, int virtualKey)
{
    const std::optional<TShortCut> stored = StoredSurfaceHotKey(modifiers, virtualKey);
    if (!stored) return;
    HotKeySlot& slot = Slot(which);
    slot.edit.Set(*stored);
    Apply(slot, *stored, false);
}

void TSurfaceHotKeys::RegisterAgain()
{
    for (HotKeySlot* slot : {&m_popup, &m_iconWindow})
        if (slot->wanted != 0 && !Works(*slot)) Apply(*slot, slot->wanted, false);
}

void TSurfaceHotKeys::AttachEdits(HWND hotKeyPopup, HWND hotKeyIconWin)
{
    m_popup.edit.Attach(hotKeyPopup);
    m_iconWindow.edit.Attach(hotKeyIconWin);
}

void TSurfaceHotKeys::Apply(HotKeySlot& slot, TShortCut wanted, bool byUser)
{
    slot.wanted = wanted;
    m_byUser = byUser;
    // A combination the system refused is asked for again, even when it is the one asked for last.
    if (wanted == 0 || !Works(slot)) slot.component.SetActive(false);
    slot.component.SetHotKey(wanted);
    slot.component.SetActive(wanted != 0);
    m_byUser = false;
    // An emptied field gives its hotkey up for good, so it is not restored at the next start; and
    // with one hotkey gone the main icon may no longer stay hidden.
    if (wanted == 0 && byUser) {
        m_host.StoreSurfaceHotKey(slot.which, 0, 0);
        m_host.UncheckHideTrayIcon();
        m_host.StoreHideTrayIcon(false);
        m_host.UpdateMainTrayIcon();
    }
    m_hideTrayIconEnabled = Works(m_popup) && Works(m_iconWindow);
    if (OnRegistrationChange) OnRegistrationChange();
}

void TSurfaceHotKeys::RegisterSuccess(HotKeySlot& slot, std::uint16_t virtKey, std::uint16_t modifier)
{
    if (m_byUser) {
        m_host.StoreSurfaceHotKey(slot.which, modifier, virtKey);
        m_host.StoreHideTrayIcon(m_host.HideTrayIconChecked());
    }
    m_host.UpdateMainTrayIcon();
}

void TSurfaceHotKeys::RegisterFailed(HotKeySlot& slot)
{
    // The edit keeps the hotkey. Another program may hold it only for now (one that starts with
    // Windows too), so a stored pair stays as it is; one the user has just typed is stored, as
    // any change of the field is.
    if (m_byUser)
        m_host.StoreSurfaceHotKey(slot.which, ShortCutModifiers(slot.wanted), ShortCutVirtualKey(slot.wanted));
    // For this session only: the stored choice to hide the icon applies again once both work.
    m_host.UncheckHideTrayIcon();
    // With the option withdrawn the icon comes back, so the program stays reachable.
    m_host.UpdateMainTrayIcon();
}
