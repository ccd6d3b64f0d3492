#pragma once
// A drop as the shell makes it for WM_DROPFILES: a DROPFILES block with wide paths, each ended by a
// null, the list by a second null. The receiver frees it (DragFinish).

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

inline HGLOBAL MakeDropFiles(const std::vector<std::wstring>& files, POINT at)
{
    std::wstring names;
    for (const auto& file : files) {
        names += file;
        names += L'\0';
    }
    names += L'\0';
    const SIZE_T bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!memory) return nullptr;
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = at;
    drop->fNC = FALSE;
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return memory;
}
