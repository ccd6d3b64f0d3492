#pragma once
// Aliases of UniqueAny for the Windows handle kinds the program owns.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "base/UniqueHandle.h"

namespace handle_traits {
template <typename T, auto CloseFn>
struct NullIsInvalid {
    using Type = T;
    static constexpr Type Invalid() noexcept { return nullptr; }
    static void Close(Type value) noexcept { CloseFn(value); }
};

struct FileHandle {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { ::CloseHandle(value); }
};

struct ChangeNotification {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { ::FindCloseChangeNotification(value); }
};

struct FindHandle {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type value) noexcept { ::FindClose(value); }
};

inline void DestroyWindowChecked(HWND hwnd) noexcept
{
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
}
inline void DeleteGdiObject(HGDIOBJ obj) noexcept { ::DeleteObject(obj); }
inline void ReleaseComObject(IUnknown* unknown) noexcept { unknown->Release(); }
inline void FreeCoTaskMem(void* p) noexcept { ::CoTaskMemFree(p); }
} // namespace handle_traits

using UniqueHandle = UniqueAny<handle_traits::NullIsInvalid<HANDLE, ::CloseHandle>>;
using UniqueFileHandle = UniqueAny<handle_traits::FileHandle>;
using UniqueChangeNotification = UniqueAny<handle_traits::ChangeNotification>;
using UniqueFindHandle = UniqueAny<handle_traits::FindHandle>;
using UniqueHwnd = UniqueAny<handle_traits::NullIsInvalid<HWND, handle_traits::DestroyWindowChecked>>;
using UniqueHmenu = UniqueAny<handle_traits::NullIsInvalid<HMENU, ::DestroyMenu>>;
using UniqueHicon = UniqueAny<handle_traits::NullIsInvalid<HICON, ::DestroyIcon>>;
using UniqueHhook = UniqueAny<handle_traits::NullIsInvalid<HHOOK, ::UnhookWindowsHookEx>>;
using UniqueHkey = UniqueAny<handle_traits::NullIsInvalid<HKEY, ::RegCloseKey>>;
using UniqueHmodule = UniqueAny<handle_traits::NullIsInvalid<HMODULE, ::FreeLibrary>>;
using UniqueImageList = UniqueAny<handle_traits::NullIsInvalid<HIMAGELIST, ::ImageList_Destroy>>;
using UniqueHfont = UniqueAny<handle_traits::NullIsInvalid<HFONT, handle_traits::DeleteGdiObject>>;
using UniqueHbitmap = UniqueAny<handle_traits::NullIsInvalid<HBITMAP, handle_traits::DeleteGdiObject>>;
using UniqueCoTaskMem = UniqueAny<handle_traits::NullIsInvalid<void*, handle_traits::FreeCoTaskMem>>;

// A COM interface pointer released when it goes out of scope.
template <typename T>
using ComPtr = UniqueAny<handle_traits::NullIsInvalid<T*, handle_traits::ReleaseComObject>>;
