#pragma once
// Starting a group's file so that the program it starts can be waited for.

#include <windows.h>

#include <string>

#include "base/Handles.h"

// Starts a file and returns the process it started, if any. A shortcut to a file is resolved
// first and its target started with the shortcut's arguments, folder and show command: a shell
// that starts the shortcut itself hands back no process. An Internet shortcut goes to the browser
// as from any surface, and gives none; so does a document opened by a program already running.
UniqueHandle LaunchForWaiting(const std::wstring& path);
