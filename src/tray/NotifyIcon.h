#pragma once
// The one way to the notification area, replaceable so tests can watch the calls.

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

// Shell_NotifyIcon's signature; the result tells whether the shell took the call.
using NotifyIconFunction = std::function<bool(DWORD message, NOTIFYICONDATAW& data)>;
NotifyIconFunction SystemNotifyIcon();

// A record as every icon of ours fills it. With `guid` the shell knows the icon by it rather than
// by window and id (the id still comes back with the icon's messages).
NOTIFYICONDATAW MakeNotifyRecord(HWND owner, UINT id, UINT callbackMessage, HICON icon, const std::wstring& tip,
                                 const GUID* guid = nullptr);
