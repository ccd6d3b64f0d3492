#include "tray/NotifyIcon.h"

#include <string>

#include "tray/TrayRules.h"

NotifyIconFunction SystemNotifyIcon()
{
    return [](DWORD message, NOTIFYICONDATAW& data) { return ::Shell_NotifyIconW(message, &data) != FALSE; };
}

NOTIFYICONDATAW MakeNotifyRecord(HWND owner, UINT id, UINT callbackMessage, HICON icon, const std::wstring& tip)
{
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = owner;
    data.uID = id;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = icon;
    const std::wstring text = TrayTip(tip);
    text.copy(data.szTip, text.size());
    data.szTip[text.size()] = L'\0';
    return data;
}
