// The system menu's entries and images on the real shell under Wine.

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <set>

#include "app/Commands.h"
#include "app/SystemMenu.h"
#include "items/ShellImages.h"

namespace {
std::vector<unsigned> Ids(const std::vector<MenuCommand>& entries)
{
    std::vector<unsigned> ids;
    for (const MenuCommand& entry : entries) ids.push_back(entry.id);
    return ids;
}

SystemMenuSystem WithAllUsersFolders(bool exist, OsPlatform platform = OsPlatform::Nt)
{
    SystemMenuSystem system;
    system.FolderExists = [exist](int) { return exist; };
    system.Os = {platform, 6, 1};
    return system;
}

class SystemMenuTest : public testing::Test {
protected:
    void SetUp() override { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { ::CoUninitialize(); }
};
} // namespace

TEST_F(SystemMenuTest, AllUsersEntriesOnlyWhereTheSystemHasTheirFolders)
{
    const std::vector<unsigned> all = {kCmdOpenDesktop,      0, kCmdOpenMyComp,     kCmdOpenMyDoc,      kCmdOpenRecycle,
                                       0,                    kCmdOpenStartMenuAll, kCmdOpenStartUpAll, kCmdOpenStartMenu,
                                       kCmdOpenStartUp,      0, kCmdOpenControlPanel, kCmdOpenPrinter, kCmdOpenDialUp};
    std::vector<unsigned> withoutAllUsers = all;
    std::erase_if(withoutAllUsers, [](unsigned id) { return id == kCmdOpenStartMenuAll || id == kCmdOpenStartUpAll; });

    EXPECT_EQ(Ids(TSystemMenu(nullptr, {}, WithAllUsersFolders(true)).Entries()), all);
    EXPECT_EQ(Ids(TSystemMenu(nullptr, {}, WithAllUsersFolders(false)).Entries()), withoutAllUsers);
    EXPECT_EQ(Ids(TSystemMenu(nullptr, {}, WithAllUsersFolders(true, OsPlatform::Win9x)).Entries()), withoutAllUsers);
    // Wine has both folders.
    EXPECT_EQ(Ids(TSystemMenu(nullptr, {}).Entries()), all);
    EXPECT_FALSE(TSystemMenu(nullptr, {}).OnCommand(kCmdExit));
}

TEST_F(SystemMenuTest, ImagesComeFromTheSystemListOrAsCopiesInTheMenusOwnList)
{
    TSystemMenu menu(nullptr, {}, WithAllUsersFolders(true));
    menu.SetSystemMenuImages(true);
    for (const MenuCommand& entry : menu.Entries()) {
        if (entry.id == 0) continue;
        EXPECT_EQ(entry.images, SystemImageList()) << entry.caption;
        EXPECT_GE(entry.imageIndex, 0) << entry.caption;
    }
    PIDLIST_ABSOLUTE desktop = nullptr;
    ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop), S_OK);
    SHFILEINFOW info{};
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(desktop), 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    ::CoTaskMemFree(desktop);
    EXPECT_EQ(menu.Entries().front().imageIndex, info.iIcon);
    EXPECT_EQ(menu.ProgramFolderImages(), SystemImageList());
    EXPECT_GE(menu.ProgramFolderIndex(), 0);

    // Copies: one per entry in a list of the menu's own, the program folder's after them; a
    // second renewal starts the list afresh.
    for (int round = 0; round < 2; ++round) {
        menu.SetSystemMenuImages(false);
        HIMAGELIST own = menu.ProgramFolderImages();
        ASSERT_NE(own, nullptr);
        ASSERT_NE(own, SystemImageList());
        std::set<int> indexes;
        for (const MenuCommand& entry : menu.Entries()) {
            if (entry.id == 0) continue;
            EXPECT_EQ(entry.images, own) << entry.caption;
            indexes.insert(entry.imageIndex);
        }
        EXPECT_EQ(indexes.size(), 11u);
        EXPECT_EQ(menu.ProgramFolderIndex(), 11);
        EXPECT_EQ(::ImageList_GetImageCount(own), 12);
    }
}

TEST_F(SystemMenuTest, EachEntryOpensItsFolderWithTheChosenVerbAndDialUpRunsTheApplet)
{
    struct Opened {
        PIDLIST_ABSOLUTE folder = nullptr;
        std::wstring verb;
        std::wstring commandLine;
    };
    const struct {
        unsigned command;
        int folder;  // -1: the network connections applet
    } entries[] = {{kCmdOpenDesktop, CSIDL_DESKTOP},          {kCmdOpenMyComp, CSIDL_DRIVES},
                   {kCmdOpenMyDoc, CSIDL_PERSONAL},           {kCmdOpenRecycle, CSIDL_BITBUCKET},
                   {kCmdOpenStartMenuAll, CSIDL_COMMON_STARTMENU}, {kCmdOpenStartUpAll, CSIDL_COMMON_STARTUP},
                   {kCmdOpenStartMenu, CSIDL_STARTMENU},      {kCmdOpenStartUp, CSIDL_STARTUP},
                   {kCmdOpenControlPanel, CSIDL_CONTROLS},    {kCmdOpenPrinter, CSIDL_PRINTERS},
                   {kCmdOpenDialUp, -1}};
    for (const OsPlatform platform : {OsPlatform::Nt, OsPlatform::Win9x}) {
        for (const bool open : {true, false}) {
            Opened opened;
            SystemMenuSystem system = WithAllUsersFolders(true, platform);
            system.OpenFolder = [&](PCIDLIST_ABSOLUTE folder, const wchar_t* verb) {
                opened.folder = ::ILCloneFull(folder);
                opened.verb = verb;
            };
            system.RunProgram = [&](const std::wstring&, std::wstring commandLine) { opened.commandLine = commandLine; };
            TSystemMenu menu(nullptr, [open] { return open; }, system);
            for (const auto& entry : entries) {
                opened = {};
                ASSERT_TRUE(menu.OnCommand(entry.command)) << entry.command;
                if (entry.folder < 0) {
                    EXPECT_EQ(opened.folder, nullptr);
                    EXPECT_TRUE(opened.commandLine.ends_with(L"rundll32.exe\" shell32.dll,Control_RunDLL " +
                                                             std::wstring(platform == OsPlatform::Nt ? L"ncpa.cpl" : L"netcpl.cpl")))
                        << opened.commandLine;
                    continue;
                }
                PIDLIST_ABSOLUTE expected = nullptr;
                ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, entry.folder, &expected), S_OK) << entry.folder;
                ASSERT_NE(opened.folder, nullptr) << entry.command;
                EXPECT_TRUE(::ILIsEqual(opened.folder, expected)) << entry.command;
                EXPECT_EQ(opened.verb, open ? L"open" : L"explore") << entry.command;
                ::CoTaskMemFree(expected);
                ::CoTaskMemFree(opened.folder);
            }
        }
    }
}
