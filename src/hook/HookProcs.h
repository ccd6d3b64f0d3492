#pragma once
// The three hook procedures. Each runs on whatever thread of whatever process receives the hooked
// input, so each does one bounded wait for the record, copies what it needs, lets go of the record
// and only then posts and passes the event on: a hung or stopped process can never hold up input
// anywhere else.

#include <windows.h>

namespace hook {

LRESULT CALLBACK ShellHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept;

} // namespace hook
