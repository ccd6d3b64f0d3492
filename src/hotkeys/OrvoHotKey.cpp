#include "hotkeys/OrvoHotKey.h"

TOrvoHotKey::TOrvoHotKey(HWND owner, TOrvoWndProcHook& hook, HotKeyIdSource& ids)
    : m_owner(owner), m_hook(hook), m_ids(ids)
{
}

TOrvoHotKey::~TOrvoHotKey()
{
    Unhook();
    // The combination goes back to other programs even when the owner window outlives us.
    if (m_window) ::UnregisterHotKey(m_window, m_id);
    m_window = nullptr;
}

void TOrvoHotKey::Unhook() noexcept
{
    if (m_hooked) m_hook.UnhookWndProc(m_owner, THookKind::After, Callback());
    m_hooked = false;
}

bool TOrvoHotKey::Register()
{
    if (m_window) return false;
    m_window = m_owner;
    m_virtualKey = ShortCutVirtualKey(m_hotKey);
    m_modifier = ShortCutModifiers(m_hotKey);
    // Without a key there is no combination to ask for.
    if (m_virtualKey != 0 && ::IsWindow(m_window) && ::RegisterHotKey(m_window, m_id, m_modifier, m_virtualKey))
        return true;
    m_hotKey = 0;
    m_virtualKey = 0;
    m_modifier = 0;
    return false;
}

void TOrvoHotKey::SetActive(bool value)
{
    if (value == m_active) return;
    if (value && !m_hooked) {
        m_id = m_ids.Next();
        if (Register()) {
            if (OnHotKeyRegisterSuccess) OnHotKeyRegisterSuccess(*this, m_hotKey, m_virtualKey, m_modifier);
            m_hooked = m_hook.HookWndProc(m_owner, THookKind::After, Callback());
            if (!m_hooked) {
                // A hotkey nobody would hear is given back.
                ::UnregisterHotKey(m_window, m_id);
                m_window = nullptr;
                value = false;
            }
        } else {
            if (OnHotKeyRegisterFailed) OnHotKeyRegisterFailed(*this, m_hotKey, m_virtualKey, m_modifier);
            Unhook();
            m_window = nullptr;
        }
    } else if (!value && m_hooked) {
        ::UnregisterHotKey(m_window, m_id);
        Unhook();
        m_window = nullptr;
    }
    m_active = value;
}

void TOrvoHotKey::SetHotKey(TShortCut value)
{
    if (value == m_hotKey) return;
    const bool wasActive = m_active;
    SetActive(false);
    m_hotKey = value;
    SetActive(wasActive);
}

void TOrvoHotKey::DoHotKey()
{
    if (OnHotKey) OnHotKey(*this);
}

bool TOrvoHotKey::HookProc(void* self, TWndMessage& message)
{
    auto* hotKey = static_cast<TOrvoHotKey*>(self);
    if (message.Msg == WM_HOTKEY && message.WParam == hotKey->m_id) hotKey->DoHotKey();
    // Later callbacks of the chain see the message too.
    return false;
}
