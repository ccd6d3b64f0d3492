#pragma once
// What happens to an exception that reaches the edge of a window procedure, a dialog procedure or
// the program entry: its message is shown in an error box, after the usual beep. Components raise
// LauncherError with their fixed messages; errors that are meant to stay silent are caught where
// they happen and never get here.
//
// One box at a time per thread: while a box is up its message loop keeps dispatching; a timer or
// a notification that fails again in the meantime is not shown a second time, and another failure
// meanwhile gets its own box after this one.

#include <string>

// The caption of the error boxes (the program's title); set once at start-up.
void SetErrorBoxCaption(const std::wstring& caption);

// Shows the exception being handled. Call it only inside a catch block.
void ShowCurrentException() noexcept;

// The text shown for the exception being handled. Call it only inside a catch block.
std::wstring CurrentExceptionMessage();
