#include "components/OrvoPickIcon.h"

#include <shellapi.h>

namespace {
// PickIconDlg is exported by number only on older systems.
constexpr WORD kPickIconDlgOrdinal = 62;
using PickIconDlgFn = int(WINAPI*)(HWND, PWSTR, UINT, int*);
// Room for a path of any length the picker may return.
constexpr UINT kPathCapacity = 32768;
} // namespace

std::wstring TOrvoPickIconDialog::StartFile(const std::wstring& iconFile, const std::wstring& systemFolder)
{
    if (!iconFile.empty()) return iconFile;
    std::wstring folder = systemFolder;
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder + L"SHELL32.DLL";
}

UniqueHicon TOrvoPickIconDialog::LoadSmallIcon(const std::wstring& file, int index)
{
    const UINT count = ::ExtractIconExW(file.c_str(), -1, nullptr, nullptr, 0);
    if (index < 0 || static_cast<UINT>(index) >= count) return {};
    HICON small = nullptr;
    if (::ExtractIconExW(file.c_str(), index, nullptr, &small, 1) == 0) return {};
    return UniqueHicon(small);
}

bool TOrvoPickIconDialog::Execute()
{
    HMODULE shell = ::GetModuleHandleW(L"shell32.dll");
    if (!shell) shell = ::LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const auto pick = shell ? reinterpret_cast<PickIconDlgFn>(reinterpret_cast<void*>(
                                  ::GetProcAddress(shell, MAKEINTRESOURCEA(kPickIconDlgOrdinal))))
                            : nullptr;
    if (!pick) return false;

    wchar_t systemFolder[MAX_PATH + 1] = {};
    ::GetSystemDirectoryW(systemFolder, MAX_PATH + 1);
    std::wstring buffer = StartFile(IconFile, systemFolder);
    buffer.resize(kPathCapacity, L'\0');
    int index = IconIndex;
    if (pick(ParHandle, buffer.data(), kPathCapacity, &index) == 0) return false;

    IconFile = buffer.c_str();
    IconIndex = index;
    m_icon = LoadSmallIcon(IconFile, IconIndex);
    return true;
}
