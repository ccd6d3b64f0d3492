#pragma once
// The message boxes a thread has up, found from another thread as a user sees them.

#include <windows.h>

#include <vector>

namespace thread_boxes {
struct Search {
    const wchar_t* text;
    const wchar_t* caption;
    std::vector<HWND> found;
};

inline BOOL CALLBACK Collect(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (lstrcmpW(name, L"#32770") != 0 || !::IsWindowVisible(window)) return TRUE;
    wchar_t caption[64] = {};
    ::GetWindowTextW(window, caption, 64);
    if (search->caption && lstrcmpW(caption, search->caption) != 0) return TRUE;
    if (::FindWindowExW(window, nullptr, L"Static", search->text)) search->found.push_back(window);
    return TRUE;
}

// The visible boxes of `thread` that show `text` (and have `caption`, when one is given).
inline std::vector<HWND> BoxesShowing(DWORD thread, const wchar_t* text, const wchar_t* caption = nullptr)
{
    Search search{text, caption, {}};
    ::EnumThreadWindows(thread, &Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
} // namespace thread_boxes
