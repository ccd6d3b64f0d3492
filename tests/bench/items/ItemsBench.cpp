// Loads collection folders of 1,000 entries each and prints the load times. Built with the tests but
// not run by CTest; run it by hand: ItemsBench.exe [entries]. Exits 1 when a load misses an entry.

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/Handles.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "items/CollectionLoader.h"
#include "items/ItemFiles.h"
#include "items/ShellImages.h"

namespace {
double Milliseconds(LARGE_INTEGER start, LARGE_INTEGER end)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Load>
double Time(Load load)
{
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    load();
    ::QueryPerformanceCounter(&end);
    return Milliseconds(start, end);
}

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
    FillFolder(data + L"\\Icons", entries, false, shortcutTemplate);
    FillFolder(data + L"\\Floating", entries, false, shortcutTemplate);
    FillFolder(data + L"\\Menus", entries, true, shortcutTemplate);

    // Where the time of a load goes: the pieces each item costs.
    {
        const std::vector<std::wstring> files = ListCollectionFiles(data + L"\\Icons");
        std::printf("Per %zu files of Icons\n", files.size());
        std::printf("  ListCollectionFiles %8.1f ms\n", Time([&] { ListCollectionFiles(data + L"\\Icons"); }));
        std::vector<std::int32_t> indexes;
        std::printf("  ShellIconIndex      %8.1f ms\n", Time([&] {
                        for (const auto& file : files) indexes.push_back(ShellIconIndex(file, false));
                    }));
        std::printf("  ReadItem            %8.1f ms\n", Time([&] {
                        for (const auto& file : files) ReadItem(file, 100, 0);
                    }));
        UniqueImageList own = CreateItemImageList();
        std::printf("  CopySystemImage     %8.1f ms\n", Time([&] {
                        for (std::int32_t index : indexes) CopySystemImage(own.get(), index);
                    }));
    }

    int failures = 0;
    for (bool shares : {false, true}) {
        CollectionLoader loader;
        loader.SetDataFolder(data);
        loader.SetImageModeProbe([shares] { return shares; });
        std::printf("%d entries per folder, %s images\n", entries, shares ? "shared system" : "copied");
        std::printf("  LoadIcons    %8.1f ms\n", Time([&] { loader.LoadIcons(); }));
        std::printf("  LoadFloating %8.1f ms\n", Time([&] { loader.LoadFloating(); }));
        std::printf("  LoadMenus    %8.1f ms\n", Time([&] { loader.LoadMenus(); }));
        std::printf("  LoadIcons, nothing changed    %8.1f ms\n", Time([&] { loader.LoadIcons(); }));
        const std::wstring added = data + L"\\Icons\\Added " + std::to_wstring(shares) + L".txt";
        WriteText(added, "x");
        std::printf("  LoadIcons, one file added     %8.1f ms\n", Time([&] { loader.LoadIcons(); }));
        ::DeleteFileW(added.c_str());
        std::printf("  LoadIcons, one file removed   %8.1f ms\n", Time([&] { loader.LoadIcons(); }));
        for (const Collection* collection : {&loader.Icons(), &loader.Floating(), &loader.Menus()}) {
            std::size_t placed = 0;
            for (const Item& item : collection->Items()) placed += item.Kind != CollectionKind::None;
            if (collection->Count() != static_cast<std::size_t>(entries) || placed != collection->Count()) {
                std::printf("  collection %d: %zu items, %zu placed (expected %d)\n", static_cast<int>(collection->Kind()),
                            collection->Count(), placed, entries);
                ++failures;
            }
        }
    }
    RemoveTree(data);
    ::CoUninitialize();
    return failures ? 1 : 0;
}
