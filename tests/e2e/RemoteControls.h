#pragma once
// Reading the program's common controls from outside: a tool bar by the Id of one of its buttons,
// a button's hint, the menu tree's nodes and their rectangles. What a control returns through a
// pointer is asked for in memory of the program's own process, as for any control asked from
// another one.

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace e2e {

// A block of memory in another process, freed with it.
class RemoteMemory {
public:
    RemoteMemory(DWORD processId, std::size_t size)
        : m_process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId))
    {
        if (m_process)
            m_address = ::VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteMemory()
    {
        if (m_address) ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        if (m_process) ::CloseHandle(m_process);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    explicit operator bool() const { return m_address != nullptr; }
    char* At(std::size_t offset) const { return static_cast<char*>(m_address) + offset; }
    bool Write(std::size_t offset, const void* data, std::size_t size) const
    {
        return ::WriteProcessMemory(m_process, At(offset), data, size, nullptr) != FALSE;
    }
    bool Read(std::size_t offset, void* data, std::size_t size) const
    {
        return ::ReadProcessMemory(m_process, At(offset), data, size, nullptr) != FALSE;
    }

private:
    HANDLE m_process;
    void* m_address = nullptr;
};

// A message whose answer the control writes into a structure, sent through memory of the
// program's own process. `answersTrue`: the message returns non-zero when it succeeded.
template <typename T>
bool SendForStruct(DWORD processId, HWND window, UINT message, WPARAM wParam, T& value, bool answersTrue = true)
{
    RemoteMemory remote(processId, sizeof(T));
    return remote && remote.Write(0, &value, sizeof(T)) &&
           (::SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(remote.At(0))) != 0 || !answersTrue) &&
           remote.Read(0, &value, sizeof(T));
}

inline BOOL CALLBACK CollectToolBars(HWND child, LPARAM list)
{
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    if (lstrcmpW(name, TOOLBARCLASSNAMEW) == 0) reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

// The tool bar under `parent` (any depth) that holds a button with this command id.
inline HWND ToolBarWithButton(HWND parent, unsigned id)
{
    std::vector<HWND> bars;
    ::EnumChildWindows(parent, &CollectToolBars, reinterpret_cast<LPARAM>(&bars));
    for (HWND bar : bars)
        if (::SendMessageW(bar, TB_COMMANDTOINDEX, id, 0) >= 0) return bar;
    return nullptr;
}

// The first tool bar under `parent` (any depth), with or without buttons.
inline HWND FirstToolBar(HWND parent)
{
    std::vector<HWND> bars;
    ::EnumChildWindows(parent, &CollectToolBars, reinterpret_cast<LPARAM>(&bars));
    return bars.empty() ? nullptr : bars.front();
}

inline int ButtonCount(HWND toolBar)
{
    return toolBar ? static_cast<int>(::SendMessageW(toolBar, TB_BUTTONCOUNT, 0, 0)) : 0;
}

// The centre of the button at a position (0 = leftmost), on the screen.
inline POINT ButtonCentre(HWND toolBar, int position)
{
    const LRESULT size = ::SendMessageW(toolBar, TB_GETBUTTONSIZE, 0, 0);
    POINT at{position * LOWORD(size) + LOWORD(size) / 2, HIWORD(size) / 2};
    ::ClientToScreen(toolBar, &at);
    return at;
}

// The hint the program gives a tool button, read through the bar's tool tip control.
inline std::wstring ButtonHint(DWORD processId, HWND toolBar, unsigned id)
{
    HWND tips = reinterpret_cast<HWND>(::SendMessageW(toolBar, TB_GETTOOLTIPS, 0, 0));
    constexpr std::size_t kChars = 1024;
    RemoteMemory remote(processId, sizeof(TTTOOLINFOW) + kChars * sizeof(wchar_t));
    if (!tips || !remote) return {};
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = toolBar;
    info.uId = id;
    info.lpszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(info)));
    const wchar_t empty = L'\0';
    DWORD_PTR ignored = 0;
    wchar_t text[kChars] = {};
    if (remote.Write(0, &info, sizeof(info)) && remote.Write(sizeof(info), &empty, sizeof(empty)) &&
        ::SendMessageTimeoutW(tips, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(remote.At(0)), SMTO_NORMAL, 2000,
                              &ignored) &&
        remote.Read(sizeof(info), text, sizeof(text) - sizeof(wchar_t)))
        return text;
    return {};
}

// One node of a tree view: its handle, its text and its depth (0 for a top-level node).
struct TreeNode {
    HTREEITEM item = nullptr;
    std::wstring text;
    int depth = 0;
};

// Every node of the tree, depth first in the tree's order (expanded or not).
inline std::vector<TreeNode> TreeNodes(DWORD processId, HWND tree)
{
    std::vector<TreeNode> nodes;
    constexpr std::size_t kChars = 512;
    RemoteMemory remote(processId, sizeof(TVITEMW) + kChars * sizeof(wchar_t));
    if (!remote) return nodes;
    auto textOf = [&](HTREEITEM item) {
        TVITEMW info{};
        info.mask = TVIF_TEXT;
        info.hItem = item;
        info.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(info)));
        info.cchTextMax = kChars;
        wchar_t text[kChars] = {};
        if (!remote.Write(0, &info, sizeof(info)) ||
            !::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.At(0))) ||
            !remote.Read(sizeof(info), text, sizeof(text) - sizeof(wchar_t)))
            return std::wstring();
        return std::wstring(text);
    };
    auto next = [&](HTREEITEM item, WPARAM relation) {
        return reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    };
    struct Walk {
        HTREEITEM item;
        int depth;
    };
    std::vector<Walk> stack{{next(nullptr, TVGN_ROOT), 0}};
    while (!stack.empty()) {
        const Walk walk = stack.back();
        stack.pop_back();
        if (!walk.item) continue;
        nodes.push_back({walk.item, textOf(walk.item), walk.depth});
        stack.push_back({next(walk.item, TVGN_NEXT), walk.depth});
        stack.push_back({next(walk.item, TVGN_CHILD), walk.depth + 1});
    }
    return nodes;
}

// The first node with this text; null when there is none.
inline HTREEITEM TreeNodeByText(DWORD processId, HWND tree, const std::wstring& text)
{
    for (const TreeNode& node : TreeNodes(processId, tree))
        if (node.text == text) return node.item;
    return nullptr;
}

// The centre of a node's text on the screen (the node is made visible first).
inline POINT TreeNodeCentre(DWORD processId, HWND tree, HTREEITEM item)
{
    ::SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    RemoteMemory remote(processId, sizeof(RECT));
    RECT r{};
    std::memcpy(&r, &item, sizeof(item));  // the node goes in, its rectangle comes out
    if (!remote || !remote.Write(0, &r, sizeof(r)) ||
        !::SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.At(0))) ||
        !remote.Read(0, &r, sizeof(r)))
        return POINT{-1, -1};
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ClientToScreen(tree, &at);
    return at;
}

} // namespace e2e
