// Loads collection folders of 1,000 entries each and prints the load times beside the shell's own
// lookups of the same files, measured in the same run. Built with the tests but not run by CTest;
// scripts/bench runs it, or by hand: ItemsBench.exe [entries]. Exits 1 when a load misses an entry.

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/BenchTable.h"
#include "base/Handles.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/CollectionLoader.h"
#include "items/ItemFiles.h"
#include "items/ShellImages.h"

namespace {
using bench::TimeMs;

void WriteText(const std::wstring& path, const std::string& text)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE) return;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

void WriteShortcut(const std::wstring& path, const std::wstring& target)
{
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.put()))))
        return;
    link.get()->SetPath(target.c_str());
    link.get()->SetDescription(L"A shortcut of the benchmark");
    ComPtr<IPersistFile> file;
    if (SUCCEEDED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))))
        file.get()->Save(path.c_str(), TRUE);
}

// A third each of shortcuts, Internet shortcuts and plain files; "Menus" spreads them over ten folders.
// Shortcuts are copies of one saved template: under Wine every save starts a desktop-menu process.
void FillFolder(const std::wstring& folder, int entries, bool nested, const std::wstring& shortcutTemplate)
{
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < entries; ++i) {
        std::wstring dir = folder;
        if (nested) {
            dir += L"\\Group " + std::to_wstring(i % 10);
            ::CreateDirectoryW(dir.c_str(), nullptr);
        }
        const std::wstring stem = dir + L"\\Entry " + std::to_wstring(i);
        switch (i % 3) {
        case 0: ::CopyFileW(shortcutTemplate.c_str(), (stem + L".lnk").c_str(), FALSE); break;
        case 1: WriteText(stem + L".url", "[InternetShortcut]\r\nURL=http://example.com/" + std::to_string(i) + "\r\nHotKey=0\r\n"); break;
        default: WriteText(stem + L".txt", "x"); break;
        }
    }
}

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
            else ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(folder.c_str());
}
} // namespace


namespace {
// Every file of a "Menus" tree, in the order the loader walks it.
void ListMenuTree(const std::wstring& folder, std::vector<std::wstring>& files)
{
    const MenuFolderEntries entries = ListMenuFolder(folder);
    for (const std::wstring& sub : entries.SubFolders) ListMenuTree(sub, files);
    files.insert(files.end(), entries.Files.begin(), entries.Files.end());
}

double Lookups(const std::vector<std::wstring>& files)
{
    return TimeMs([&] {
        for (const auto& file : files) ShellIconIndex(file, false);
    });
}

int CountFailures(const CollectionLoader& loader, int entries)
{
    int failures = 0;
    for (const Collection* collection : {&loader.Icons(), &loader.Floating(), &loader.Menus()}) {
        std::size_t placed = 0;
        for (const Item& item : collection->Items()) placed += item.Kind != CollectionKind::None;
        if (collection->Count() != static_cast<std::size_t>(entries) || placed != collection->Count()) {
            std::printf("  collection %d: %zu items, %zu placed (expected %d)\n", static_cast<int>(collection->Kind()),
                        collection->Count(), placed, entries);
            ++failures;
        }
    }
    return failures;
}

std::string Target(const char* rule, bool met) { return std::string(rule) + ": " + bench::Verdict(met); }
} // namespace

int wmain(int argc, wchar_t** argv)
{
    const int entries = argc > 1 ? std::max(1, _wtoi(argv[1])) : 1000;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    wchar_t temp[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring data = std::wstring(temp) + L"items-bench-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(data.c_str(), nullptr);
    const std::wstring shortcutTemplate = data + L"\\template.lnk";
    WriteShortcut(shortcutTemplate, ModuleFileName());
    const std::wstring icons = data + L"\\Icons", floating = data + L"\\Floating", menus = data + L"\\Menus";
    FillFolder(icons, entries, false, shortcutTemplate);
    FillFolder(floating, entries, false, shortcutTemplate);
    FillFolder(menus, entries, true, shortcutTemplate);

    const std::vector<std::wstring> iconFiles = ListCollectionFiles(icons);
    const std::vector<std::wstring> floatingFiles = ListCollectionFiles(floating);
    std::vector<std::wstring> menuFiles;
    ListMenuTree(menus, menuFiles);
    // The shell's caches are warmed, so the floors and the loads meet them alike (every entry of a
    // kind shows the same icon: a few files of each kind warm them all).
    Lookups(std::vector<std::wstring>(iconFiles.begin(), iconFiles.begin() + std::min<std::size_t>(iconFiles.size(), 30)));

    // Where the time of a load goes: the pieces each item costs.
    const double iconsFloor = Lookups(iconFiles);
    const double floatingFloor = Lookups(floatingFiles);
    const double menusFloor = Lookups(menuFiles);
    std::printf("Per %zu files of Icons\n", iconFiles.size());
    std::printf("  ListCollectionFiles %8.1f ms\n", TimeMs([&] { ListCollectionFiles(icons); }));
    std::printf("  ShellIconIndex      %8.1f ms\n", iconsFloor);
    std::printf("  ReadItem            %8.1f ms\n", TimeMs([&] {
                    for (const auto& file : iconFiles) ReadItem(file, 100, 0);
                }));

    // One load is at the mercy of the machine: loads by fresh loaders and their floors run in turns,
    // and the medians are compared. The last turn's loader goes on to the incremental cases.
    constexpr int kTurns = 5;
    std::vector<double> iconsFloors{iconsFloor}, floatingFloors{floatingFloor}, menusFloors{menusFloor};
    int failures = 0;
    for (bool shares : {false, true}) {
        std::vector<double> iconsLoads, floatingLoads, menusLoads;
        const auto timeLoads = [&](CollectionLoader& each) {
            each.SetDataFolder(data);
            each.SetImageModeProbe([shares] { return shares; });
            iconsLoads.push_back(TimeMs([&] { each.LoadIcons(); }));
            floatingLoads.push_back(TimeMs([&] { each.LoadFloating(); }));
            menusLoads.push_back(TimeMs([&] { each.LoadMenus(); }));
        };
        for (int turn = 1; turn < kTurns; ++turn) {
            CollectionLoader each;
            timeLoads(each);
            iconsFloors.push_back(Lookups(iconFiles));
            floatingFloors.push_back(Lookups(floatingFiles));
            menusFloors.push_back(Lookups(menuFiles));
        }
        CollectionLoader loader;
        timeLoads(loader);
        const char* mode = shares ? "shared images" : "copied images";
        const bool copied = !shares;
        const auto loadRow = [&](const char* name, const std::vector<double>& values, const std::vector<double>& floors) {
            const double value = bench::Median(values), floor = bench::Median(floors);
            const std::string figure = std::string(name) + ", " + mode;
            const std::string target = copied ? Target("<= 1.2x", value <= 1.2 * floor) : std::string();
            bench::Row(figure.c_str(), value, "shell lookups, same files", floor, target.c_str());
        };
        loadRow("LoadIcons", iconsLoads, iconsFloors);
        loadRow("LoadFloating", floatingLoads, floatingFloors);
        loadRow("LoadMenus", menusLoads, menusFloors);
        failures += CountFailures(loader, entries);
        if (shares) break;

        // Rebuilds after one change: the listing is the part no rebuild can skip.
        const double iconsListing = TimeMs([&] { ListCollectionFiles(icons); });
        const double floatingListing = TimeMs([&] { ListCollectionFiles(floating); });
        const double menusListing = TimeMs([&] {
            std::vector<std::wstring> files;
            ListMenuTree(menus, files);
        });
        const std::wstring added = icons + L"\\Added.txt";
        WriteText(added, "x");
        const double iconsAdded = TimeMs([&] { loader.LoadIcons(); });
        ::DeleteFileW(added.c_str());
        const double iconsRemoved = TimeMs([&] { loader.LoadIcons(); });
        bench::Row("LoadIcons, one file removed", iconsRemoved, "LoadIcons, one file added", iconsAdded,
                   Target("< 50 ms beyond listing", iconsRemoved - iconsListing < 50).c_str());

        const std::wstring floatingVictim = floatingFiles[floatingFiles.size() / 2];
        ::MoveFileW(floatingVictim.c_str(), (floatingVictim + L".moved").c_str());
        const double floatingRenamed = TimeMs([&] { loader.LoadFloating(); });
        ::MoveFileW((floatingVictim + L".moved").c_str(), floatingVictim.c_str());
        loader.LoadFloating();
        bench::Row("LoadFloating, one file renamed", floatingRenamed, "listing Floating", floatingListing,
                   Target("< 50 ms beyond listing", floatingRenamed - floatingListing < 50).c_str());

        const std::wstring menusVictim = menuFiles[menuFiles.size() / 2];
        ::MoveFileW(menusVictim.c_str(), (data + L"\\removed.tmp").c_str());
        const double menusRemoved = TimeMs([&] { loader.LoadMenus(); });
        ::MoveFileW((data + L"\\removed.tmp").c_str(), menusVictim.c_str());
        loader.LoadMenus();
        bench::Row("LoadMenus, one file removed", menusRemoved, "listing the Menus tree", menusListing,
                   Target("< 50 ms beyond listing", menusRemoved - menusListing < 50).c_str());
        failures += CountFailures(loader, entries);
    }
    RemoveTree(data);
    ::CoUninitialize();
    return failures ? 1 : 0;
}
