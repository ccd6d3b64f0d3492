#pragma once
// A drop as the shell makes it for WM_DROPFILES: a DROPFILES block with wide paths, each ended by a
// null, the list by a second null. The receiver frees it (DragFinish).

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

inline std::vector<char> DropFilesBlock(const std::vector<std::wstring>& files, POINT at)
{
    std::wstring names;
    for (const auto& file : files) {
        names += file;
        names += L'\0';
    }
    names += L'\0';
    std::vector<char> block(sizeof(DROPFILES) + names.size() * sizeof(wchar_t), 0);
    auto* drop = reinterpret_cast<DROPFILES*>(block.data());
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = at;
    drop->fNC = FALSE;
    drop->fWide = TRUE;
    std::memcpy(block.data() + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    return block;
}

// The drop in this process's memory.
inline HGLOBAL MakeDropFiles(const std::vector<std::wstring>& files, POINT at)
{
    const std::vector<char> block = DropFilesBlock(files, at);
    HGLOBAL memory = ::GlobalAlloc(GMEM_FIXED, block.size());
    if (memory) std::memcpy(memory, block.data(), block.size());
    return memory;
}

// The drop in another process's memory, as the system hands a drop from another program over: a
// fixed block there is its own handle. The caller frees it once the drop was handled.
inline void* PlaceDropFilesIn(HANDLE process, const std::vector<std::wstring>& files, POINT at)
{
    const std::vector<char> block = DropFilesBlock(files, at);
    void* remote = ::VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote && !::WriteProcessMemory(process, remote, block.data(), block.size(), nullptr)) {
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        return nullptr;
    }
    return remote;
}
