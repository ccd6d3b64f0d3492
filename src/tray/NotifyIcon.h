#pragma once
// The one way to the notification area, replaceable so tests can watch the calls.

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

// Shell_NotifyIcon's signature; the result is never examined by the program.
using NotifyIconFunction = std::function<bool(DWORD message, NOTIFYICONDATAW& data)>;
NotifyIconFunction SystemNotifyIcon();

// A record as every icon of ours fills it: the version-2 size, which every supported shell takes.
NOTIFYICONDATAW MakeNotifyRecord(HWND owner, UINT id, UINT callbackMessage, HICON icon, const std::wstring& tip);
