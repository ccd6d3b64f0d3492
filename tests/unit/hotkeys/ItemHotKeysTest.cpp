// Item hotkeys registered by the real loader on a hidden window and pressed with SendInput.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/Strings.h"
#include "hotkeys/HotKeyRules.h"
#include "hotkeys/ItemHotKeys.h"
#include "unit/items/ItemTestFiles.h"

using namespace item_test;

namespace {
// An Internet shortcut with a hotkey number (key | modifiers << 8).
void UrlWithHotKey(const std::wstring& path, int hotKey)
{
    WriteBytes(path, "[InternetShortcut]\r\nURL=http://127.0.0.1/\r\nHotKey=" + std::to_string(hotKey) + "\r\n");
}

void Press(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> input;
    for (WORD key : keys) input.push_back({INPUT_KEYBOARD, {.ki = {key, 0, 0, 0, 0}}});
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        input.push_back({INPUT_KEYBOARD, {.ki = {*key, 0, KEYEVENTF_KEYUP, 0, 0}}});
    ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// The id of the next WM_HOTKEY the window gets, or -1.
long long NextHotKey(HWND window, DWORD timeoutMs = 5000)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    MSG msg;
    while (::GetTickCount64() < deadline) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_HOTKEY && msg.hwnd == window) return static_cast<long long>(msg.wParam);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return -1;
}
} // namespace

class ItemHotKeysTest : public ComTest {};

TEST_F(ItemHotKeysTest, PastAHundredIconsEachItemLaunchesByItsOwnHotKey)
{
    TempFolder data;
    for (const wchar_t* name : {L"Icons", L"Floating", L"Menus"}) MakeFolder(data / name);
    // The Icons item at index 100 carries Id 200, as the Floating item at index 0 does.
    for (int i = 0; i < 100; ++i) WriteBytes(data / (L"Icons\\f" + std::to_wstring(1000 + i) + L".txt"), "x");
    UrlWithHotKey(data / L"Icons\\a.url", (kHotKeyFControl | kHotKeyFAlt) << 8 | '7');
    UrlWithHotKey(data / L"Floating\\b.url", (kHotKeyFControl | kHotKeyFAlt) << 8 | '8');

    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    CollectionLoader loader;
    loader.SetDataFolder(data.Path());
    loader.SetImageModeProbe([] { return true; });
    TItemHotKeys hotKeys(window, loader);
    loader.AttachHotKeyRegistrar(&hotKeys);
    loader.LoadIcons();
    loader.LoadFloating();
    ASSERT_EQ(loader.Icons().Count(), 101u);
    ASSERT_EQ(loader.Icons().Items()[100].Id, loader.Floating().Items()[0].Id);
    EXPECT_EQ(loader.Icons().HotKeyTexts(), (std::vector<std::wstring>{L"Ctrl + Alt + 7", L"Icons\\a.url"}));
    EXPECT_EQ(loader.Floating().HotKeyTexts(), (std::vector<std::wstring>{L"Ctrl + Alt + 8", L"Floating\\b.url"}));

    for (auto [key, caption] : {std::pair{WORD('8'), L"b"}, {WORD('7'), L"a"}}) {
        Press({VK_CONTROL, VK_MENU, key});
        const long long id = NextHotKey(window);
        ASSERT_GE(id, 0) << "no hotkey for " << char(key);
        const Item* item = hotKeys.ItemOfHotKey(static_cast<WPARAM>(id));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Caption, caption);
    }

    // Discarded collections give their combinations back.
    loader.ClearCollections();
    for (WORD key : {WORD('7'), WORD('8')}) {
        EXPECT_TRUE(::RegisterHotKey(window, 0xB000, kModControl | kModAlt, key)) << char(key);
        ::UnregisterHotKey(window, 0xB000);
    }
    ::DestroyWindow(window);
}
