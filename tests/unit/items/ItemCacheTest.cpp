// A rebuild that reuses what earlier loads read must place exactly what a load reading every file
// afresh places, whatever changed on disk in between.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/CollectionLoader.h"
#include "items/CollectionReload.h"
#include "ItemTestFiles.h"

using namespace item_test;

namespace {

std::string Describe(const Item& item)
{
    return WideToUtf8(item.Caption) + " | " + WideToUtf8(item.Hint) + " | " + std::to_string(item.Id) + " | " +
           WideToUtf8(item.FileName) + " | image " + std::to_string(item.ImageIndex) + " | key " +
           std::to_string(item.HotKeyKey) + "+" + std::to_string(item.HotKeyModifiers) + " | kind " +
           std::to_string(static_cast<int>(item.Kind));
}

std::vector<std::string> Describe(const Collection& collection)
{
    std::vector<std::string> lines;
    for (const Item& item : collection.Items()) lines.push_back(Describe(item));
    return lines;
}

// Now less `seconds`, as a FILETIME.
FILETIME Ago(int seconds)
{
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER value{};
    value.LowPart = now.dwLowDateTime;
    value.HighPart = now.dwHighDateTime;
    value.QuadPart -= static_cast<ULONGLONG>(seconds) * 10'000'000ull;
    return FILETIME{value.LowPart, value.HighPart};
}

void SetWriteTime(const std::wstring& path, const FILETIME& at)
{
    const HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(::SetFileTime(file, nullptr, nullptr, &at));
    ::CloseHandle(file);
}

std::string UrlFile(const std::string& url, const std::string& iconFile)
{
    return "[InternetShortcut]\r\nURL=" + url + "\r\nIconFile=" + iconFile + "\r\nIconIndex=0\r\nHotKey=1604\r\n";
}

class ItemCacheTest : public ComTest {
protected:
    // A data folder of shortcuts to a program and to a text file, Internet shortcuts and plain files.
    void MakeData()
    {
        m_data = std::make_unique<TempFolder>();
        for (const wchar_t* name : {L"Icons", L"Floating", L"Menus", L"Menus\\Tools", L"targets"})
            MakeFolder(*m_data / name);
        WriteBytes(*m_data / L"targets\\notes.txt", "notes");
        m_program = ModuleFileName();
        for (const wchar_t* folder : {L"Icons", L"Floating", L"Menus\\Tools"}) {
            const std::wstring at = *m_data / folder;
            MakeShortcut(at + L"\\Editor.lnk", m_program, L"", L"The editor", 0x0645);
            MakeShortcut(at + L"\\Notes.lnk", *m_data / L"targets\\notes.txt", L"", L"Some notes");
            WriteBytes(at + L"\\Mail.url", UrlFile("mailto:someone@example.com", ""));
            WriteBytes(at + L"\\readme.txt", "text");
        }
    }

    // The loader whose loads keep what they read, and one that reads every file at every load.
    void LoadBoth(CollectionLoader& cached, CollectionLoader& fresh)
    {
        cached.LoadIcons();
        cached.LoadFloating();
        cached.LoadMenus();
        fresh.DropItemCache();
        fresh.LoadIcons();
        fresh.LoadFloating();
        fresh.LoadMenus();
    }

    std::wstring Path(const wchar_t* relative) const { return *m_data / relative; }

    std::unique_ptr<TempFolder> m_data;
    std::wstring m_program;
};

TEST_F(ItemCacheTest, RebuildAfterAChangeMatchesALoadThatReadsEveryFile)
{
    struct Case {
        const char* name;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"files added",
         [&] {
             MakeShortcut(Path(L"Icons\\Added.lnk"), m_program, L"", L"Added");
             WriteBytes(Path(L"Floating\\0 first.txt"), "x");
             MakeShortcut(Path(L"Menus\\Tools\\Added.lnk"), m_program);
         }},
        {"files removed",
         [&] {
             ::DeleteFileW(Path(L"Icons\\Editor.lnk").c_str());
             ::DeleteFileW(Path(L"Floating\\Mail.url").c_str());
             ::DeleteFileW(Path(L"Menus\\Tools\\Notes.lnk").c_str());
         }},
        {"files renamed",
         [&] {
             ::MoveFileW(Path(L"Icons\\Notes.lnk").c_str(), Path(L"Icons\\Zettel.lnk").c_str());
             ::MoveFileW(Path(L"Floating\\readme.txt").c_str(), Path(L"Floating\\README.txt").c_str());
             ::MoveFileW(Path(L"Menus\\Tools\\Mail.url").c_str(), Path(L"Menus\\Tools\\Post.url").c_str());
         }},
        {"a shortcut's target changed",
         [&] {
             for (const wchar_t* file : {L"Icons\\Notes.lnk", L"Floating\\Notes.lnk", L"Menus\\Tools\\Notes.lnk"})
                 MakeShortcut(Path(file), m_program, L"", L"Now the program", 0x0346);
         }},
        {"an Internet shortcut's icon changed",
         [&] {
             for (const wchar_t* file : {L"Icons\\Mail.url", L"Floating\\Mail.url", L"Menus\\Tools\\Mail.url"})
                 WriteBytes(Path(file), UrlFile("https://example.com/", WideToUtf8(m_program)));
         }},
    };
    for (bool shares : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (shares ? ", shared images" : ", copied images"));
            MakeData();
            CollectionLoader cached, fresh;
            for (CollectionLoader* loader : {&cached, &fresh}) {
                loader->SetDataFolder(m_data->Path());
                loader->SetImageModeProbe([shares] { return shares; });
            }
            LoadBoth(cached, fresh);
            ASSERT_EQ(Describe(cached.Icons()), Describe(fresh.Icons()));

            c.change();
            LoadBoth(cached, fresh);
            EXPECT_EQ(Describe(cached.Icons()), Describe(fresh.Icons()));
            EXPECT_EQ(Describe(cached.Floating()), Describe(fresh.Floating()));
            EXPECT_EQ(Describe(cached.Menus()), Describe(fresh.Menus()));
        }
    }
}

TEST_F(ItemCacheTest, ThemeChangeReadsEveryFileAgainAndPlacesTheIconsAfresh)
{
    MakeData();
    CollectionLoader loader;
    loader.SetDataFolder(m_data->Path());
    loader.SetImageModeProbe([] { return false; });
    loader.LoadIcons();
    const std::vector<std::string> before = Describe(loader.Icons());
    MakeShortcut(Path(L"Icons\\Notes.lnk"), m_program, L"", L"Now the program");

    // Nothing lost: the loaded items stay as they were.
    loader.LoadIcons();
    EXPECT_EQ(Describe(loader.Icons()), before);

    loader.ShellImagesChanged();
    loader.LoadIcons();
    ASSERT_EQ(loader.Icons().Count(), 4u);
    EXPECT_EQ(loader.Icons().Items()[1].Hint, L"Now the program");
    for (const Item& item : loader.Icons().Items())
        EXPECT_LT(item.ImageIndex, ::ImageList_GetImageCount(loader.Icons().ImageList())) << Describe(item);
}

TEST_F(ItemCacheTest, WhatCouldNotBeReadOrMayStillChangeIsReadAgainAndReloadReadsEveryFile)
{
    MakeData();
    CollectionLoader loader;
    loader.SetDataFolder(m_data->Path());
    const std::wstring editor = Path(L"Floating\\Editor.lnk");
    const auto hint = [&] {
        for (const Item& item : loader.Floating().Items())
            if (item.Caption == L"Editor") return item.Hint;
        return std::wstring(L"(no entry)");
    };
    // Rewrites the shortcut with another description of the same length: size and write time stay.
    const auto rewrite = [&](const wchar_t* description, const FILETIME& at) {
        const std::uint64_t size = ReadFileBytes(editor).size();
        MakeShortcut(editor, m_program, L"", description, 0x0645);
        SetWriteTime(editor, at);
        ASSERT_EQ(ReadFileBytes(editor).size(), size);
    };
    const FILETIME settled = Ago(3600);
    SetWriteTime(editor, settled);

    // Locked for a moment: the load has its name alone, and the next one reads it.
    HANDLE lock = ::CreateFileW(editor.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    loader.LoadFloating();
    ::CloseHandle(lock);
    EXPECT_EQ(hint(), L"Editor");
    loader.LoadFloating();
    EXPECT_EQ(hint(), L"The editor");

    // Written a second before the load: a change within the same 2-second stamp still shows.
    const FILETIME recent = Ago(1);
    rewrite(L"The writer", recent);
    loader.LoadFloating();
    EXPECT_EQ(hint(), L"The writer");
    rewrite(L"The reader", recent);
    loader.LoadFloating();
    EXPECT_EQ(hint(), L"The reader");

    // Long settled, the stamp is trusted; "Re&load Icon" reads the file all the same.
    rewrite(L"The editor", settled);
    loader.LoadFloating();
    rewrite(L"The viewer", settled);
    loader.LoadFloating();
    EXPECT_EQ(hint(), L"The editor");
    std::int64_t clock = 0;
    TCollectionReload reload(CollectionRebuilds::Of(loader), [&] { return clock; });
    reload.SetDataFolder(m_data->Path() + L"\\");
    reload.ReloadFloating();
    clock = 5000;
    reload.TimerDirMonFloatTimer();
    EXPECT_EQ(hint(), L"The viewer");
}

} // namespace
