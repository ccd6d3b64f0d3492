#pragma once
// The hook library's shared record, its named objects, its messages and its exports: everything
// the library and the program must agree on. Included by the library and by the watch component.

#include <windows.h>

#include <cstddef>
#include <cstdint>

// One record in a named file mapping, shared by every process that has the library loaded, 32-bit
// and 64-bit alike. Every field is 32 bits wide at a fixed offset; handles are stored truncated to
// 32 bits, which Windows guarantees to be lossless for window and hook handles.
struct THookSharedData {
    std::uint32_t ShellHook;
    std::int32_t ShellWatchers;
    std::uint32_t KeyHook;
    std::int32_t KeyWatchers;
    std::uint32_t MouseHook;
    std::int32_t MouseWatchers;
    std::uint32_t Receiver;
    std::int32_t AttachedProcesses;
};
static_assert(sizeof(THookSharedData) == 32);
static_assert(offsetof(THookSharedData, ShellHook) == 0);
static_assert(offsetof(THookSharedData, ShellWatchers) == 4);
static_assert(offsetof(THookSharedData, KeyHook) == 8);
static_assert(offsetof(THookSharedData, KeyWatchers) == 12);
static_assert(offsetof(THookSharedData, MouseHook) == 16);
static_assert(offsetof(THookSharedData, MouseWatchers) == 20);
static_assert(offsetof(THookSharedData, Receiver) == 24);
static_assert(offsetof(THookSharedData, AttachedProcesses) == 28);

inline constexpr wchar_t kHookMutexName[] = L"OrvoLauncherHookMutex";
inline constexpr wchar_t kHookMappingName[] = L"OrvoLauncherHook.DTA";
inline constexpr wchar_t kWatchShellMessage[] = L"WATCH_SHELL_EVENT";
inline constexpr wchar_t kWatchKeyMessage[] = L"WATCH_KEY_EVENT";
inline constexpr wchar_t kWatchMouseMessage[] = L"WATCH_MOUSE_EVENT";
inline constexpr wchar_t kHookLibraryName[] = L"Launcher.dll";

// The argument of StartWatching and StopWatching; any other value selects nothing.
using WatchKind = std::uint8_t;
inline constexpr WatchKind kWatchShell = 0;
inline constexpr WatchKind kWatchKeyboard = 1;
inline constexpr WatchKind kWatchMouse = 2;

// A 32-bit record field from a handle, and back. Handles are sign-extended when widened, the rule
// Windows uses for handles that cross between 32-bit and 64-bit processes.
template <typename Handle>
inline std::uint32_t HandleToField(Handle handle) noexcept
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}
template <typename Handle>
inline Handle HandleFromField(std::uint32_t field) noexcept
{
    return reinterpret_cast<Handle>(static_cast<std::intptr_t>(static_cast<std::int32_t>(field)));
}

// The mouse message's point travels packed in lParam: x in bits 0-15, y in bits 16-31.
constexpr std::uint32_t PackHookPoint(long x, long y) noexcept
{
    return (static_cast<std::uint32_t>(x) & 0xFFFFu) | ((static_cast<std::uint32_t>(y) & 0xFFFFu) << 16);
}

// The exports, bound by name. Standard calling convention; a WatchKind travels in a 32-bit slot.
using TStartWatching = void(WINAPI*)(WatchKind kind);
using TStopWatching = void(WINAPI*)(WatchKind kind);
using TStopAll = void(WINAPI*)();
using TStillWatching = BOOLEAN(WINAPI*)();
using TSetReceiver = BOOLEAN(WINAPI*)(HWND receiver);
using TGetReceiver = HWND(WINAPI*)();
