#include "tray/NotifyIcon.h"

#include <string>

#include "tray/TrayRules.h"

NotifyIconFunction SystemNotifyIcon()
{
    return [](DWORD message, NOTIFYICONDATAW& data) { return ::Shell_NotifyIconW(message, &data) != FALSE; };
}

NOTIFYICONDATAW MakeNotifyRecord(HWND owner, UINT id, UINT callbackMessage, HICON icon, const std::wstring& tip,
                                 const GUID* guid)
{
    NOTIFYICONDATAW data{};
    // The version-2 size, which every supported shell takes; the identity needs the version-3 one.
    data.cbSize = guid ? NOTIFYICONDATAW_V3_SIZE : NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = owner;
    data.uID = id;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = icon;
    const std::wstring text = TrayTip(tip);
    text.copy(data.szTip, text.size());
    data.szTip[text.size()] = L'\0';
    if (guid) {
        data.uFlags |= NIF_GUID;
        data.guidItem = *guid;
    }
    return data;
}
