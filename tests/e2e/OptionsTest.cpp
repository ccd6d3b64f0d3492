// The "Options" page on the real program, driven with the mouse and the keys: every change is
// written at once and takes effect at once.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>

#include "app/Commands.h"
#include "app/Settings.h"
#include "base/WinUtil.h"
#include "e2e/LauncherTest.h"
#include "e2e/RemoteControls.h"
#include "resources/resource.h"
#include "tools/RecordLaunchLog.h"

using namespace e2e;

namespace {
constexpr DWORD kTimeout = 10000;
constexpr UINT kFirstItemIcon = 100;

void ClickAt(POINT at)
{
    MoveMouseTo(at.x, at.y);
    ::Sleep(80);
    LeftClick();
    ::Sleep(150);
}

void ClickWindow(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// A control's text as it shows it; another process's control answers only WM_GETTEXT.
std::wstring ControlText(HWND control)
{
    wchar_t text[512] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(control, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                          kTimeout, &copied);
    return text;
}

// The window with the keyboard focus in the program's user-interface thread.
HWND FocusOf(LauncherProcess& launcher)
{
    HWND main = FindProcessWindow(launcher.Id(), L"TOrvoLauncherClass");
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return main && ::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool Checked(HWND button) { return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The per-icon settings Windows 11 keeps; Wine has none, so the tests make them.
constexpr const wchar_t* kIconSettings = L"Control Panel\\NotifyIconSettings";

void WriteIconSetting(const wchar_t* name, const std::wstring& program, std::optional<DWORD> promoted)
{
    const std::wstring key = std::wstring(kIconSettings) + L"\\" + name;
    ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"ExecutablePath", REG_SZ, program.c_str(),
                      static_cast<DWORD>((program.size() + 1) * sizeof(wchar_t)));
    if (promoted) ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"IsPromoted", REG_DWORD, &*promoted, sizeof(DWORD));
}

std::optional<DWORD> Promoted(const wchar_t* name)
{
    const std::wstring key = std::wstring(kIconSettings) + L"\\" + name;
    DWORD value = 0, size = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"IsPromoted", RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

// How many of a window's pixels, as the screen shows them, are near black and near white.
std::pair<int, int> DarkAndLightPixels(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    int dark = 0, light = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = ::GetPixel(memory, x, y);
            const int lowest = std::min({GetRValue(c), GetGValue(c), GetBValue(c)});
            const int highest = std::max({GetRValue(c), GetGValue(c), GetBValue(c)});
            dark += highest < 70;
            light += lowest > 245;
        }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return {dark, light};
}

class OptionsTest : public LauncherTest {
protected:
    // Starts the program, shows its main window and clicks the "Options" tab.
    HWND OpenOptionsPage(LauncherProcess& launcher)
    {
        HWND main = launcher.StartAndWaitForMainWindow();
        if (!main) return nullptr;
        // Commands count once the collections are loaded: the tray icon of an item shows it.
        launcher.PostCommand(kCmdShowMainWindow);
        if (!WaitUntil([&] { return Visible(main); }, kTimeout)) return nullptr;
        m_main = main;
        m_launcher = &launcher;
        HWND tabs = ::FindWindowExW(main, nullptr, WC_TABCONTROLW, nullptr);
        RECT tab{};
        if (!SendForStruct(launcher.Id(), tabs, TCM_GETITEMRECT, 2, tab)) return nullptr;
        ::MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&tab), 2);
        HWND box = FindChildByText(main, L"Start with Windows");
        m_page = box ? ::GetParent(box) : nullptr;
        // A click while the window is still coming forward may be lost: click until the page shows.
        const bool shown = WaitUntil(
            [&] {
                ClickAt({(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2});
                return WaitUntil([&] { return Visible(m_page); }, 1000);
            },
            kTimeout, 0);
        return shown ? m_page : nullptr;
    }
    HWND Control(int id) const { return ::GetDlgItem(m_page, id); }
    void Click(int id) { ClickWindow(Control(id)); }
    // Clicks a control until its effect shows. A click may be lost on a busy machine; one that
    // arrived moves the focus to the control, and then its effect is awaited, never clicked twice.
    bool ClickUntil(int id, const std::function<bool()>& effect)
    {
        HWND control = Control(id);
        const bool focusedBefore = FocusOf(*m_launcher) == control;
        bool arrived = false;
        const bool done = WaitUntil(
            [&] {
                Click(id);
                return WaitUntil(
                    [&] {
                        arrived = !focusedBefore && FocusOf(*m_launcher) == control;
                        return arrived || effect();
                    },
                    focusedBefore ? 3000 : 1500);
            },
            kTimeout, 0);
        return done && (!arrived || WaitUntil(effect, kTimeout));
    }
    void ShowMoreOptions()
    {
        ASSERT_TRUE(ClickUntil(IDC_MORE_OPTIONS, [&] { return Visible(Control(IDC_BACK_OPTIONS)); }));
        EXPECT_FALSE(Visible(Control(IDC_START_WITH_WIN)));
    }
    bool WaitForIni(const BoolKey& key, bool value) const
    {
        return WaitUntil([&] { return IniFile(Ini()).Read(key) == value; }, kTimeout);
    }
    bool WaitForIni(const IntKey& key, int value) const
    {
        return WaitUntil([&] { return IniFile(Ini()).Read(key) == value; }, kTimeout);
    }

    // Opens the folder browser with "..." and chooses the sub-folder `name` (capitals) of the
    // folder it shows first, with the keys a user would press: Right to open it, the name typed.
    // A click is repeated only while no browser has come (it is modal: a click while it is up goes
    // nowhere); once it has, the shell may take long to fill its tree on a busy machine.
    void ChooseSubFolder(LauncherProcess& launcher, const std::wstring& name)
    {
        HWND dialog = nullptr, tree = nullptr;
        const auto browser = [&] {
            for (HWND window : FindProcessWindows(launcher.Id(), L"#32770")) {
                HWND inside = ::FindWindowExW(window, nullptr, WC_TREEVIEWW, nullptr);
                if (inside && ::IsWindowVisible(window)) dialog = window, tree = inside;
            }
            return dialog != nullptr;
        };
        ASSERT_TRUE(WaitUntil(
            [&] {
                Click(IDC_BROWSE_DATA_FOLDER);
                return WaitUntil(browser, 3000);
            },
            3 * kTimeout, 0));
        ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) != 0; }, 3 * kTimeout));
        Key(VK_RIGHT);
        for (wchar_t letter : name) Key(static_cast<WORD>(letter));
        HWND ok = FindChildByText(dialog, L"OK");
        ASSERT_TRUE(WaitUntil(
            [&] {
                ClickWindow(ok);
                return WaitUntil([&] { return !::IsWindow(dialog); }, 1500);
            },
            kTimeout, 0));
    }

    HWND m_main = nullptr;
    HWND m_page = nullptr;
    LauncherProcess* m_launcher = nullptr;
};
} // namespace

TEST_F(OptionsTest, ControlsEndAtTheFramesMarginAndFollowAWiderPage)
{
    LauncherProcess launcher({Ini()});
    ASSERT_NE(OpenOptionsPage(launcher), nullptr);
    const auto rectOf = [&](int id) {
        RECT r{};
        ::GetWindowRect(Control(id), &r);
        return r;
    };
    // Each control that reaches the right of its panel (the hidden panel's too) ends as far inside
    // the frame as the controls start.
    const auto check = [&](const char* page) {
        const RECT frame = rectOf(IDC_OPTIONS_PANEL);
        const int margin = rectOf(IDC_START_WITH_WIN).left - frame.left;
        for (int id : {IDC_START_WITH_WIN, IDC_CHANGE_MAIN_ICON, IDC_RADIO_EXPLORE, IDC_UPDOWN_NUM_OF_ICON,
                       IDC_HOTKEY_ICON_WIN, IDC_HOTKEY_POPUP, IDC_HIDE_TRAY_ICON, IDC_MORE_OPTIONS,
                       IDC_BROWSE_DATA_FOLDER, IDC_FLOAT_BOTTOM, IDC_POPUP_BOTTOM, IDC_DELAY_LONG,
                       IDC_COMBO_DISABLE_KEYS, IDC_COMBO_FLOATING_KEY, IDC_BACK_OPTIONS})
            EXPECT_NEAR(frame.right - rectOf(id).right, margin, 2) << page << ", control " << id;
        // The number's field and its arrows stay one control.
        EXPECT_NEAR(rectOf(IDC_UPDOWN_NUM_OF_ICON).left, rectOf(IDC_EDIT_NUM_OF_ICON).right, 3) << page;
    };
    check("as shown");

    // A page wider than its template's controls, as at a DPI where the font grows less than the
    // window.
    RECT page{};
    ::GetWindowRect(m_page, &page);
    const int wider = (page.right - page.left) * 5 / 4;
    ::SetWindowPos(m_page, nullptr, 0, 0, wider, page.bottom - page.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] { return rectOf(IDC_OPTIONS_PANEL).right > page.right; }, kTimeout));
    check("wider");
}

TEST_F(OptionsTest, StartWithWindowsCreatesAndRemovesTheRunValueOfThisSettingsFile)
{
    const std::wstring named = L"Orvo Launcher settings";
    ScopedPerUserState runValues({L"Orvo Launcher", named}, true);
    struct Start {
        std::vector<std::wstring> arguments;
        std::wstring valueName;
        std::wstring commandLine;
    };
    const std::wstring program = L"\"" + LauncherExePath() + L"\"";
    for (const Start& start : {Start{{}, L"Orvo Launcher", program},
                               Start{{Ini()}, named, program.substr(0, program.size() - 1) + L"\" \"" + Ini() + L"\""}}) {
        LauncherProcess launcher(start.arguments);
        ASSERT_NE(OpenOptionsPage(launcher), nullptr);
        EXPECT_TRUE(ClickUntil(IDC_START_WITH_WIN, [&] { return Checked(Control(IDC_START_WITH_WIN)); }));
        EXPECT_TRUE(WaitUntil([&] { return ScopedPerUserState::ReadRunValue(start.valueName).has_value(); }, kTimeout));
        EXPECT_TRUE(EqualsNoCase(ScopedPerUserState::ReadRunValue(start.valueName).value_or(L""), start.commandLine));
        EXPECT_TRUE(Checked(Control(IDC_START_WITH_WIN)));
        EXPECT_TRUE(ClickUntil(IDC_START_WITH_WIN, [&] { return !Checked(Control(IDC_START_WITH_WIN)); }));
        EXPECT_TRUE(WaitUntil([&] { return !ScopedPerUserState::ReadRunValue(start.valueName); }, kTimeout));
        EXPECT_FALSE(Checked(Control(IDC_START_WITH_WIN)));
        launcher.Terminate();
    }
    EXPECT_FALSE(IniFile(Ini()).Read(keys::AutoStart));
}

TEST_F(OptionsTest, FloatEdgeUnticksAndGreysThePopupBoxAndTheEdgeFollowsAtOnce)
{
    Shortcut(L"Floating\\f.lnk", L"F");
    IniFile(Ini()).Write(keys::PopupLeft, true);
    IniFile(Ini()).Write(keys::Sensitivity, 1);
    LauncherProcess launcher({Ini()});
    ASSERT_NE(OpenOptionsPage(launcher), nullptr);
    ShowMoreOptions();
    ASSERT_TRUE(Checked(Control(IDC_POPUP_LEFT)));
    EXPECT_FALSE(::IsWindowEnabled(Control(IDC_FLOAT_LEFT)));
    // The popup box of the edge is unticked first; then the float box can be ticked.
    EXPECT_TRUE(ClickUntil(IDC_POPUP_LEFT, [&] { return ::IsWindowEnabled(Control(IDC_FLOAT_LEFT)) != FALSE; }));
    EXPECT_FALSE(Checked(Control(IDC_FLOAT_LEFT)));
    EXPECT_TRUE(ClickUntil(IDC_FLOAT_LEFT, [&] { return Checked(Control(IDC_FLOAT_LEFT)); }));
    EXPECT_TRUE(WaitForIni(keys::FloatLeft, true));
    EXPECT_TRUE(WaitForIni(keys::PopupLeft, false));
    EXPECT_FALSE(Checked(Control(IDC_POPUP_LEFT)));
    EXPECT_FALSE(::IsWindowEnabled(Control(IDC_POPUP_LEFT)));

    // Resting at the left edge now opens the floating window, without a restart.
    HWND floating = FindProcessWindow(launcher.Id(), L"TIconWindow");
    launcher.PostCommand(kCmdOK);
    ASSERT_TRUE(WaitUntil([&] { return !Visible(m_main); }, kTimeout));
    int y = 300;
    EXPECT_TRUE(WaitUntil(
        [&] {
            // Into the edge from the screen, as a hand moves; again a little lower if no move was seen.
            MoveMouseTo(60, y);
            ::Sleep(50);
            MoveMouseTo(0, y += 20);
            return WaitUntil([&] { return Visible(floating); }, 2000);
        },
        3 * kTimeout, 0));
}

TEST_F(OptionsTest, DisableTrayIconRemovesAndRestoresTheItemIconsButNotTheMainOne)
{
    Shortcut(L"Icons\\a.lnk", L"A");
    Shortcut(L"Icons\\b.lnk", L"B");
    LauncherProcess launcher({Ini()});
    ASSERT_NE(OpenOptionsPage(launcher), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(m_main, kFirstItemIcon + 1); }, kTimeout));
    EXPECT_TRUE(ClickUntil(IDC_DISABLE_TRAY_ICON, [&] { return Checked(Control(IDC_DISABLE_TRAY_ICON)); }));
    EXPECT_TRUE(WaitUntil([&] { return !TrayIconExists(m_main, kFirstItemIcon) && !TrayIconExists(m_main, kFirstItemIcon + 1); },
                          kTimeout));
    EXPECT_TRUE(TrayIconExists(m_main, 1));
    EXPECT_TRUE(IniFile(Ini()).Read(keys::DisableTrayIcon));
    EXPECT_TRUE(ClickUntil(IDC_DISABLE_TRAY_ICON, [&] { return !Checked(Control(IDC_DISABLE_TRAY_ICON)); }));
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(m_main, kFirstItemIcon) && TrayIconExists(m_main, kFirstItemIcon + 1); },
                          kTimeout));
    EXPECT_TRUE(TrayIconExists(m_main, 1));
    EXPECT_FALSE(IniFile(Ini()).Read(keys::DisableTrayIcon));
}

TEST_F(OptionsTest, IconsPerRowStaysWithinItsRangeAndRelaysTheFloatingWindow)
{
    for (int i = 0; i < 12; ++i) Shortcut(L"Floating\\f" + std::to_wstring(i) + L".lnk", L"F");
    LauncherProcess launcher({Ini()});
    ASSERT_NE(OpenOptionsPage(launcher), nullptr);
    HWND floating = FindProcessWindow(launcher.Id(), L"TIconWindow");
    auto floatingSize = [&] {
        launcher.PostCommand(kCmdShowFloatingIcon);
        EXPECT_TRUE(WaitUntil([&] { return Visible(floating); }, kTimeout));
        RECT r{};
        ::GetWindowRect(floating, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    };
    const SIZE tenInRow = floatingSize();  // 10 and 2
    ASSERT_TRUE(launcher.IsRunning());

    // The lower half of the arrows steps down; past 5 nothing goes lower.
    RECT arrows{};
    ::GetWindowRect(Control(IDC_UPDOWN_NUM_OF_ICON), &arrows);
    for (int i = 0; i < 7; ++i) ClickAt({(arrows.left + arrows.right) / 2, arrows.bottom - 3});
    EXPECT_TRUE(WaitForIni(keys::MaxIconInRow, 5));
    EXPECT_EQ(ControlText(Control(IDC_EDIT_NUM_OF_ICON)), L"5");
    // Each step hid the window and laid it out again: now three rows of five.
    EXPECT_FALSE(Visible(floating));
    const SIZE fiveInRow = floatingSize();
    EXPECT_LT(fiveInRow.cx, tenInRow.cx);
    EXPECT_GT(fiveInRow.cy, tenInRow.cy);

    // The keys step too (the arrows of the read-only field); past 30 nothing goes higher.
    ASSERT_TRUE(ClickUntil(IDC_EDIT_NUM_OF_ICON, [&] { return FocusOf(launcher) == Control(IDC_EDIT_NUM_OF_ICON); }));
    for (int i = 0; i < 27; ++i) Key(VK_UP);
    EXPECT_TRUE(WaitForIni(keys::MaxIconInRow, 30));
    EXPECT_EQ(ControlText(Control(IDC_EDIT_NUM_OF_ICON)), L"30");
}

TEST_F(OptionsTest, HotKeyFieldsTakeEffectOnLeavingAndHidingTheMainIconNeedsBoth)
{
    LauncherProcess launcher({Ini()});
    ASSERT_NE(OpenOptionsPage(launcher), nullptr);
    EXPECT_FALSE(::IsWindowEnabled(Control(IDC_HIDE_TRAY_ICON)));

    // The popup menu's combination, typed into its field; Tab leaves the field.
    ASSERT_TRUE(ClickUntil(IDC_HOTKEY_POPUP, [&] { return FocusOf(launcher) == Control(IDC_HOTKEY_POPUP); }));
    PressKeys({VK_CONTROL, VK_MENU, 'J'});
    ::Sleep(150);
    Key(VK_TAB);
    EXPECT_TRUE(WaitForIni(keys::HKPopupVir, 'J'));
    EXPECT_EQ(IniFile(Ini()).Read(keys::HKPopupMod), MOD_CONTROL | MOD_ALT);
    EXPECT_FALSE(::IsWindowEnabled(Control(IDC_HIDE_TRAY_ICON)));
    launcher.PostCommand(kCmdOK);
    ASSERT_TRUE(WaitUntil([&] { return !Visible(m_main); }, kTimeout));
    PressKeys({VK_CONTROL, VK_MENU, 'J'});
    EXPECT_TRUE(WaitUntil([&] { return Visible(FindProcessWindow(launcher.Id(), L"#32768")); }, kTimeout));
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow(launcher.Id(), L"#32768") == nullptr; }, kTimeout));

    // With the floating window's combination too, the main icon may be hidden.
    launcher.PostCommand(kCmdShowMainWindow);
    ASSERT_TRUE(WaitUntil([&] { return Visible(m_main); }, kTimeout));
    ASSERT_TRUE(ClickUntil(IDC_HOTKEY_ICON_WIN, [&] { return FocusOf(launcher) == Control(IDC_HOTKEY_ICON_WIN); }));
    PressKeys({VK_CONTROL, VK_MENU, 'K'});
    ::Sleep(150);
    Key(VK_TAB);
    EXPECT_TRUE(WaitForIni(keys::HKIconWinVir, 'K'));
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(Control(IDC_HIDE_TRAY_ICON)) != FALSE; }, kTimeout));
    // Not while there is no item tray icon: the program would have no icon at all.
    ASSERT_TRUE(ClickUntil(IDC_HIDE_TRAY_ICON, [&] { return FocusOf(launcher) == Control(IDC_HIDE_TRAY_ICON); }));
    EXPECT_FALSE(Checked(Control(IDC_HIDE_TRAY_ICON)));
    EXPECT_FALSE(IniFile(Ini()).Read(keys::HideTrayIcon));
    EXPECT_TRUE(TrayIconExists(m_main, 1));
    Shortcut(L"Icons\\a.lnk", L"A");
    ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(m_main, kFirstItemIcon); }, 3 * kTimeout));
    EXPECT_TRUE(ClickUntil(IDC_HIDE_TRAY_ICON, [&] { return Checked(Control(IDC_HIDE_TRAY_ICON)); }));
    EXPECT_TRUE(WaitForIni(keys::HideTrayIcon, true));
    EXPECT_TRUE(WaitUntil([&] { return !TrayIconExists(m_main, 1); }, kTimeout));
    EXPECT_TRUE(Checked(Control(IDC_HIDE_TRAY_ICON)));

    // Clearing one field withdraws the option, and the icon comes back.
    ASSERT_TRUE(ClickUntil(IDC_HOTKEY_POPUP, [&] { return FocusOf(launcher) == Control(IDC_HOTKEY_POPUP); }));
    Key(VK_DELETE);
    Key(VK_TAB);
    EXPECT_TRUE(WaitForIni(keys::HKPopupVir, 0));
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(m_main, 1); }, kTimeout));
    EXPECT_FALSE(::IsWindowEnabled(Control(IDC_HIDE_TRAY_ICON)));
    EXPECT_FALSE(IniFile(Ini()).Read(keys::HideTrayIcon));
}

TEST_F(OptionsTest, NewDataFolderMovesEverySurfaceAtOnceAndOneThatCannotHoldTheDataIsRefused)
{
    const std::wstring old = m_folder.Path() + L"\\";
    Shortcut(L"Icons\\a.lnk", L"A");
    // A file where a collection folder belongs: that folder cannot be made.
    TempFolder::MakeFolder(m_folder / L"Baddata");
    TempFolder::WriteFile(m_folder / L"Baddata\\Menus");
    for (const wchar_t* folder : {L"Newdata", L"Newdata\\Icons", L"Newdata\\Floating"})
        TempFolder::MakeFolder(m_folder / folder);
    Shortcut(L"Newdata\\Icons\\x.lnk", L"X");
    Shortcut(L"Newdata\\Icons\\y.lnk", L"Y");
    Shortcut(L"Newdata\\Floating\\g.lnk", L"G");
    LauncherProcess launcher({Ini()});
    ASSERT_NE(OpenOptionsPage(launcher), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TrayIconExists(m_main, kFirstItemIcon); }, kTimeout));
    ShowMoreOptions();
    const std::wstring label = ControlText(Control(IDC_EDIT_DATA_FOLDER));
    EXPECT_TRUE(old.ends_with(label.substr(label.find_last_of(L'\\', label.size() - 2) + 1))) << label;

    ChooseSubFolder(launcher, L"BADDATA");
    HWND box = launcher.WaitForWindow(L"#32770", L"Orvo Launcher");
    ASSERT_NE(box, nullptr);
    EXPECT_NE(FindChildByText(box, L"Orvo Launcher cannot create folder to store the data.\r\rPlease verify that you "
                                   L"have permission to create a folder inside\rOrvo Launcher folder."),
              nullptr);
    Key(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, kTimeout));
    EXPECT_EQ(IniFile(Ini()).Read(keys::DataFolder), old);
    EXPECT_EQ(ControlText(Control(IDC_EDIT_DATA_FOLDER)), label);
    EXPECT_TRUE(TrayIconExists(m_main, kFirstItemIcon));

    ChooseSubFolder(launcher, L"NEWDATA");
    const std::wstring chosen = m_folder / L"Newdata\\";
    EXPECT_TRUE(WaitUntil([&] { return IniFile(Ini()).Read(keys::DataFolder) == chosen; }, kTimeout));
    EXPECT_TRUE(WaitUntil([&] { return ControlText(Control(IDC_EDIT_DATA_FOLDER)).ends_with(L"\\Newdata\\"); }, kTimeout))
        << ControlText(Control(IDC_EDIT_DATA_FOLDER));
    // Every surface shows the new folder's items at once: two tray icons, one floating button.
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(m_main, kFirstItemIcon + 1); }, kTimeout));
    EXPECT_TRUE(DirectoryExists(chosen + L"Menus"));
    HWND floating = FindProcessWindow(launcher.Id(), L"TIconWindow");
    launcher.PostCommand(kCmdShowFloatingIcon);
    ASSERT_TRUE(WaitUntil([&] { return Visible(floating); }, kTimeout));
    HWND panel = ::GetWindow(floating, GW_CHILD);
    HWND bar = panel ? ::FindWindowExW(panel, nullptr, TOOLBARCLASSNAMEW, nullptr) : nullptr;
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(::SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 1);
    // And the new folder is watched: an item added there gets its icon.
    Shortcut(L"Newdata\\Icons\\z.lnk", L"Z");
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(m_main, kFirstItemIcon + 2); }, 3 * kTimeout));
}

TEST_F(OptionsTest, MissingDataFolderStandsAsideForOneSessionAndIsUsedOnceItIsThere)
{
    // A folder on a drive that is not connected yet: this session uses the settings file's folder.
    const std::wstring usb = m_folder / L"Usb\\";
    const IniFile ini(Ini());
    ini.Write(keys::DataFolder, usb);
    const std::wstring settingsFolderEnd = L"\\" + ExtractFileName(m_folder.Path()) + L"\\";
    {
        LauncherProcess launcher({Ini()});
        ASSERT_NE(OpenOptionsPage(launcher), nullptr);
        ShowMoreOptions();
        EXPECT_TRUE(ControlText(Control(IDC_EDIT_DATA_FOLDER)).ends_with(settingsFolderEnd))
            << ControlText(Control(IDC_EDIT_DATA_FOLDER));
        EXPECT_EQ(ini.Read(keys::DataFolder), usb);
    }
    EXPECT_EQ(ini.Read(keys::DataFolder), usb);

    // Connected by the next start, it is the data folder again.
    TempFolder::MakeFolder(usb);
    Shortcut(L"Usb\\Icons\\a.lnk", L"A");
    LauncherProcess launcher({Ini()});
    ASSERT_NE(OpenOptionsPage(launcher), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return TrayIconExists(m_main, kFirstItemIcon); }, kTimeout));
    ShowMoreOptions();
    EXPECT_TRUE(ControlText(Control(IDC_EDIT_DATA_FOLDER)).ends_with(L"\\Usb\\"))
        << ControlText(Control(IDC_EDIT_DATA_FOLDER));
    EXPECT_EQ(ini.Read(keys::DataFolder), usb);
}

TEST_F(OptionsTest, SystemMenuOpensTheFolderInTheShellWithEitherChoice)
{
    PIDLIST_ABSOLUTE documents = nullptr;
    ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &documents), S_OK);
    SHFILEINFOW info{};
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(documents), 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_DISPLAYNAME);
    ::CoTaskMemFree(documents);
    const std::wstring title = info.szDisplayName;
    ASSERT_FALSE(title.empty());

    LauncherProcess launcher({Ini()});
    ASSERT_NE(OpenOptionsPage(launcher), nullptr);
    for (const int choice : {IDC_RADIO_EXPLORE, IDC_RADIO_OPEN}) {
        if (!Visible(m_main)) launcher.PostCommand(kCmdShowMainWindow);
        ASSERT_TRUE(WaitUntil([&] { return Visible(m_main); }, kTimeout));
        EXPECT_TRUE(ClickUntil(choice, [&] { return Checked(Control(choice)); }));
        EXPECT_TRUE(WaitForIni(keys::OpenSystemMenu, choice == IDC_RADIO_OPEN));
        ASSERT_NE(OpenTrayMenu(launcher, m_main), nullptr);
        Key(VK_HOME);   // the program submenu
        Key(VK_DOWN);   // "Group Start"
        Key(VK_DOWN);   // "System Menu"
        Key(VK_RIGHT);  // "Desktop"
        Key(VK_DOWN);   // "My Computer", past the separator
        Key(VK_DOWN);   // "My Documents"
        Key(VK_RETURN);
        // The shell's own window for the folder, in a process of its own; it is closed again.
        HWND shown = nullptr;
        EXPECT_TRUE(WaitUntil(
            [&] {
                HWND window = ::FindWindowW(nullptr, title.c_str());
                DWORD process = 0;
                if (window) ::GetWindowThreadProcessId(window, &process);
                shown = window && process != launcher.Id() && ::IsWindowVisible(window) ? window : nullptr;
                return shown != nullptr;
            },
            3 * kTimeout));
        if (!shown) continue;
        DWORD processId = 0;
        ::GetWindowThreadProcessId(shown, &processId);
        HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
        ::PostMessageW(shown, WM_CLOSE, 0, 0);
        if (process) {
            if (::WaitForSingleObject(process, kTimeout) != WAIT_OBJECT_0) ::TerminateProcess(process, 0);
            ::CloseHandle(process);
        }
    }
}

TEST_F(OptionsTest, DelayTrackBarMovesTowardsLongWithUpAndTheKeyListsStoreTheirChoice)
{
    LauncherProcess launcher({Ini()});
    ASSERT_NE(OpenOptionsPage(launcher), nullptr);
    ShowMoreOptions();
    // A click on the thumb gives the track bar the focus without moving it.
    HWND trackBar = Control(IDC_TRACKBAR_SENSITIVITY);
    RECT thumb{};
    ASSERT_TRUE(SendForStruct(launcher.Id(), trackBar, TBM_GETTHUMBRECT, 0, thumb, false));
    ASSERT_GT(thumb.right, thumb.left);
    ::MapWindowPoints(trackBar, nullptr, reinterpret_cast<POINT*>(&thumb), 2);
    ASSERT_TRUE(WaitUntil(
        [&] {
            ClickAt({(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2});
            return WaitUntil([&] { return FocusOf(launcher) == trackBar; }, 1500);
        },
        kTimeout, 0));
    const int start = static_cast<int>(::SendMessageW(trackBar, TBM_GETPOS, 0, 0));
    ASSERT_EQ(start, 5);
    struct Step {
        WORD key;
        int moved;  // towards "Long" when positive
    };
    int expected = start;
    for (const Step& step : {Step{VK_UP, 1}, Step{VK_PRIOR, 1}, Step{VK_DOWN, -1}, Step{VK_NEXT, -1}, Step{VK_RIGHT, 1}}) {
        const int before = expected;
        Key(step.key);
        EXPECT_TRUE(WaitUntil(
            [&] {
                expected = static_cast<int>(::SendMessageW(trackBar, TBM_GETPOS, 0, 0));
                return (expected - before) * step.moved > 0;
            },
            kTimeout))
            << step.key;
        EXPECT_TRUE(WaitForIni(keys::Sensitivity, expected)) << step.key;
    }

    // The lists: the keyboard picks the next entry, and its index is stored.
    for (const auto& [id, key] : {std::pair{IDC_COMBO_DISABLE_KEYS, &keys::DisableKey},
                                  std::pair{IDC_COMBO_FLOATING_KEY, &keys::FloatRightKey}}) {
        HWND list = Control(id);
        const int before = IniFile(Ini()).Read(*key);
        ASSERT_TRUE(ClickUntil(id, [&] { return ::SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
        Key(before == 3 ? VK_UP : VK_DOWN);
        Key(VK_RETURN);
        const int chosen = before == 3 ? 2 : before + 1;
        EXPECT_TRUE(WaitForIni(*key, chosen)) << id;
        EXPECT_EQ(::SendMessageW(list, CB_GETCURSEL, 0, 0), chosen);
    }
}

TEST_F(OptionsTest, CustomizeMainTrayIconSwapsThePreviewAndIsStored)
{
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    IniFile(Ini()).Write(keys::IconFile, std::wstring(system) + L"\\shell32.dll");
    IniFile(Ini()).Write(keys::IconIdx, 3);
    LauncherProcess launcher({Ini()});
    ASSERT_NE(OpenOptionsPage(launcher), nullptr);
    HWND builtIn = Control(IDC_BUILT_IN_ICON_IMAGE);
    HWND custom = Control(IDC_CUSTOM_ICON_IMAGE);
    EXPECT_TRUE(Visible(builtIn));
    EXPECT_FALSE(Visible(custom));
    for (const bool useCustom : {true, false}) {
        EXPECT_TRUE(ClickUntil(IDC_CUSTOM_MAIN_ICON, [&] { return Checked(Control(IDC_CUSTOM_MAIN_ICON)) == useCustom; }));
        EXPECT_TRUE(WaitForIni(keys::UseCustomMainIcon, useCustom));
        // One place, one image: the file's icon or the program's own.
        EXPECT_TRUE(WaitUntil([&] { return Visible(custom) == useCustom && Visible(builtIn) != useCustom; }, kTimeout));
        EXPECT_NE(::SendMessageW(useCustom ? custom : builtIn, STM_GETICON, 0, 0), 0);
        EXPECT_TRUE(TrayIconExists(m_main, 1));
    }
}

TEST_F(OptionsTest, ShowEntryIconsOnTheTaskbarMarksOnlyOurIconsAndPutsBackWhatTheUserHad)
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kIconSettings);
    LauncherProcess launcher({Ini()});
    ASSERT_NE(OpenOptionsPage(launcher), nullptr);
    ShowMoreOptions();
    HWND box = Control(IDC_PROMOTE_TRAY_ICONS);
    // Where Windows keeps no such settings the box cannot be ticked, and says why.
    EXPECT_FALSE(::IsWindowEnabled(box));
    EXPECT_FALSE(ControlText(Control(IDC_PROMOTE_TRAY_ICONS_NOTE)).empty());

    const std::wstring program = LauncherExePath();
    WriteIconSetting(L"11", program, 0);
    WriteIconSetting(L"12", program, std::nullopt);
    WriteIconSetting(L"13", L"C:\\Tools\\Other.exe", 0);
    ASSERT_TRUE(ClickUntil(IDC_BACK_OPTIONS, [&] { return Visible(Control(IDC_MORE_OPTIONS)); }));
    ShowMoreOptions();
    ASSERT_TRUE(::IsWindowEnabled(box));
    ASSERT_TRUE(ClickUntil(IDC_PROMOTE_TRAY_ICONS, [&] { return Checked(box); }));
    EXPECT_TRUE(WaitForIni(keys::PromoteTrayIcons, true));
    EXPECT_EQ(Promoted(L"11"), 1u);
    EXPECT_EQ(Promoted(L"12"), 1u);
    EXPECT_EQ(Promoted(L"13"), 0u) << "another program's icon";

    // The shell makes a key when it first shows an icon: the load that placed a new entry marks it.
    WriteIconSetting(L"14", program, 0);
    Shortcut(L"Icons\\New.lnk", L"new");
    EXPECT_TRUE(WaitUntil([] { return Promoted(L"14") == 1u; }, kTimeout));

    ASSERT_TRUE(ClickUntil(IDC_PROMOTE_TRAY_ICONS, [&] { return !Checked(box); }));
    EXPECT_EQ(Promoted(L"11"), 0u);
    EXPECT_EQ(Promoted(L"12"), std::nullopt);
    EXPECT_EQ(Promoted(L"13"), 0u);
    EXPECT_EQ(Promoted(L"14"), 0u);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kIconSettings);
}

TEST_F(OptionsTest, BuiltInMainIconFollowsTheTaskbarTheme)
{
    constexpr const wchar_t* personalize = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
    const auto setLight = [&](DWORD light) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, personalize, L"SystemUsesLightTheme", REG_DWORD, &light, sizeof(light));
    };
    setLight(1);
    LauncherProcess launcher({Ini()});
    ASSERT_NE(OpenOptionsPage(launcher), nullptr);
    HWND preview = Control(IDC_BUILT_IN_ICON_IMAGE);
    // A light taskbar gets the dark glyph, and the broadcast of a dark theme the light one.
    EXPECT_TRUE(WaitUntil([&] { return DarkAndLightPixels(preview).first > 10; }, kTimeout));
    const LPARAM before = ::SendMessageW(preview, STM_GETICON, 0, 0);
    setLight(0);
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"),
                          SMTO_ABORTIFHUNG, kTimeout, &answer);
    EXPECT_TRUE(WaitUntil([&] { return DarkAndLightPixels(preview).second > 10; }, kTimeout));
    EXPECT_NE(::SendMessageW(preview, STM_GETICON, 0, 0), before);
    EXPECT_TRUE(TrayIconExists(m_main, 1));
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, personalize, L"SystemUsesLightTheme");
}
