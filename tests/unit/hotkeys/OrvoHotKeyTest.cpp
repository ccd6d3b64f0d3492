// The hotkey component and the two surface hotkeys on a hidden window, with real registrations:
// what another program already holds is held here by a second window.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "hotkeys/OrvoHotKey.h"
#include "hotkeys/SurfaceHotKeys.h"

namespace {
constexpr TShortCut kCtrlAltF11 = 0x7A | kScCtrl | kScAlt;
constexpr TShortCut kCtrlShiftF12 = 0x7B | kScCtrl | kScShift;

HWND MakeWindow()
{
    return ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                             nullptr);
}

// Every register event as "ok <id> <key> <modifier>" or "failed <hotkey> <key> <modifier>".
void Watch(TOrvoHotKey& hotKey, std::vector<std::string>& events)
{
    auto record = [&events](const char* what, int value, std::uint16_t key, std::uint16_t modifier) {
        events.push_back(std::string(what) + " " + std::to_string(value) + " " + std::to_string(key) + " " +
                         std::to_string(modifier));
    };
    hotKey.OnHotKeyRegisterSuccess = [=](TOrvoHotKey& sender, TShortCut&, std::uint16_t& key, std::uint16_t& mod) {
        record("ok", sender.Id(), key, mod);
    };
    hotKey.OnHotKeyRegisterFailed = [=](TOrvoHotKey&, TShortCut& shortCut, std::uint16_t& key, std::uint16_t& mod) {
        record("failed", shortCut, key, mod);
    };
}
std::vector<std::string> Take(std::vector<std::string>& events) { return std::exchange(events, {}); }

class OrvoHotKeyTest : public testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_HOTKEY_CLASS};
        ::InitCommonControlsEx(&controls);
        m_owner = MakeWindow();
        m_other = MakeWindow();
    }
    void TearDown() override
    {
        ::DestroyWindow(m_owner);
        ::DestroyWindow(m_other);
    }
    // Whether another program could take the combination now.
    bool Free(TShortCut shortCut)
    {
        if (!::RegisterHotKey(m_other, 0xB000, ShortCutModifiers(shortCut), ShortCutVirtualKey(shortCut))) return false;
        ::UnregisterHotKey(m_other, 0xB000);
        return true;
    }

    HWND m_owner = nullptr;
    HWND m_other = nullptr;
    TOrvoWndProcHook m_hook;
    HotKeyIdSource m_ids;
};
} // namespace

TEST_F(OrvoHotKeyTest, RegistersOnActivationAndReRegistersOnlyForANewHotKey)
{
    std::vector<std::string> log;
    {
        TOrvoHotKey hotKey(m_owner, m_hook, m_ids);
        Watch(hotKey, log);
        hotKey.SetHotKey(kCtrlAltF11);
        EXPECT_TRUE(Take(log).empty());  // inactive: nothing registered yet
        hotKey.SetActive(true);
        EXPECT_EQ(Take(log), std::vector<std::string>{"ok 0 122 3"});
        EXPECT_FALSE(Free(kCtrlAltF11));

        hotKey.SetHotKey(kCtrlAltF11);
        hotKey.SetActive(true);
        EXPECT_TRUE(Take(log).empty());

        hotKey.SetHotKey(kCtrlShiftF12);
        EXPECT_EQ(Take(log), std::vector<std::string>{"ok 1 123 6"});
        EXPECT_TRUE(Free(kCtrlAltF11));

        hotKey.SetActive(false);
        EXPECT_TRUE(Free(kCtrlShiftF12));
        hotKey.SetActive(true);
        EXPECT_EQ(Take(log), std::vector<std::string>{"ok 2 123 6"});
    }
    // Destroyed while registered: the combination is free again.
    EXPECT_TRUE(Free(kCtrlShiftF12));
}

TEST_F(OrvoHotKeyTest, ACombinationAnotherProgramHoldsFailsWithHotKeyZeroAndStaysActive)
{
    ASSERT_TRUE(::RegisterHotKey(m_other, 1, kModControl | kModAlt, 0x7A));
    std::vector<std::string> log;
    TOrvoHotKey hotKey(m_owner, m_hook, m_ids);
    Watch(hotKey, log);
    hotKey.SetActive(true);  // no key yet: refused without asking the system
    EXPECT_EQ(Take(log), std::vector<std::string>{"failed 0 0 0"});
    hotKey.SetHotKey(kCtrlAltF11);
    EXPECT_EQ(Take(log), std::vector<std::string>{"failed 0 0 0"});
    EXPECT_TRUE(hotKey.Active());
    EXPECT_EQ(hotKey.HotKey(), 0);
    EXPECT_FALSE(hotKey.Registered());
    EXPECT_FALSE(m_hook.IsHooked(m_owner));
    ::UnregisterHotKey(m_other, 1);
}

TEST_F(OrvoHotKeyTest, EachComponentHearsOnlyItsOwnId)
{
    TOrvoHotKey first(m_owner, m_hook, m_ids), second(m_owner, m_hook, m_ids);
    std::string heard;
    first.OnHotKey = [&](TOrvoHotKey&) { heard += "first "; };
    second.OnHotKey = [&](TOrvoHotKey&) { heard += "second "; };
    first.SetHotKey(kCtrlAltF11);
    first.SetActive(true);
    second.SetHotKey(kCtrlShiftF12);
    second.SetActive(true);
    ::SendMessageW(m_owner, WM_HOTKEY, second.Id(), 0);
    ::SendMessageW(m_owner, WM_HOTKEY, first.Id(), 0);
    ::SendMessageW(m_owner, WM_HOTKEY, 300, 0);
    EXPECT_EQ(heard, "second first ");
}

namespace {
struct RecordingHost : SurfaceHotKeyHost {
    std::vector<std::string> calls;
    bool hideChecked = true;
    void OpenPopupMenuByHotkey() override { calls.push_back("popup"); }
    void OpenIconWindowByHotkey() override { calls.push_back("floating"); }
    void StoreSurfaceHotKey(SurfaceHotKey which, int modifiers, int key) override
    {
        calls.push_back(std::string(which == SurfaceHotKey::Popup ? "store popup " : "store floating ") +
                        std::to_string(modifiers) + " " + std::to_string(key));
    }
    bool HideTrayIconChecked() const override { return hideChecked; }
    void UncheckHideTrayIcon() override { hideChecked = false; }
    void StoreHideTrayIcon(bool hidden) override { calls.push_back(hidden ? "hide 1" : "hide 0"); }
    void UpdateMainTrayIcon() override { calls.push_back("tray"); }
};
} // namespace

TEST_F(OrvoHotKeyTest, SurfaceHotKeysStoreOnlyWhatTheUserTypesAndOfferHidingTheIconOnlyWhileBothWork)
{
    RecordingHost host;
    TSurfaceHotKeys surface(m_owner, m_hook, m_ids, host);
    surface.Restore(SurfaceHotKey::Popup, kModControl | kModAlt, 0x7A);
    EXPECT_FALSE(surface.HideTrayIconEnabled());  // the floating-window hotkey is not set
    // What the settings hold is registered, not written back.
    EXPECT_EQ(host.calls, (std::vector<std::string>{"tray"}));
    surface.Restore(SurfaceHotKey::IconWindow, kModControl | kModShift, 0x7B);
    EXPECT_TRUE(surface.HideTrayIconEnabled());

    host.calls.clear();
    ::SendMessageW(m_owner, WM_HOTKEY, surface.OrvoHotKeyIconWindow().Id(), 0);
    ::SendMessageW(m_owner, WM_HOTKEY, surface.OrvoHotKeyPopup().Id(), 0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"floating", "popup"}));

    // A combination another program holds, typed by the user: stored and kept in the edit, shown
    // as not registered; the option is withdrawn and the icon shown again.
    ASSERT_TRUE(::RegisterHotKey(m_other, 1, kModAlt, 'J'));
    HWND edit = ::CreateWindowExW(0, HOTKEY_CLASSW, L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    surface.AttachEdits(edit, nullptr);
    EXPECT_EQ(::SendMessageW(edit, HKM_GETHOTKEY, 0, 0), (kHotKeyFControl | kHotKeyFAlt) << 8 | 0x7A);
    ::SendMessageW(edit, HKM_SETHOTKEY, kHotKeyFAlt << 8 | 'J', 0);
    host.calls.clear();
    surface.HotKeyPopupExit();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"store popup 1 74", "tray"}));
    EXPECT_EQ(::SendMessageW(edit, HKM_GETHOTKEY, 0, 0), kHotKeyFAlt << 8 | 'J');
    EXPECT_TRUE(surface.NotRegistered(SurfaceHotKey::Popup));
    EXPECT_FALSE(host.hideChecked);
    EXPECT_FALSE(surface.HideTrayIconEnabled());
    ::UnregisterHotKey(m_other, 1);
    ::DestroyWindow(edit);
}
