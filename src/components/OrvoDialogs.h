#pragma once
// A standard message dialog with a "don't show this message again" check box.

#include <windows.h>

#include <string>

enum class MsgDlgType { Warning, Error, Information, Confirmation, Custom };

// Buttons, combined with |.
enum MsgDlgButton : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
};

// Modal results.
constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7;

// The check box's caption and control id (tests and the help system find it by these).
inline constexpr const wchar_t* kDontShowAgainCaption = L"&Don't show this message again";
constexpr int kDontShowAgainId = 1000;

// Shows the dialog modally and returns the modal result. `dontShowAgain` receives the check box
// state; it is left untouched when the dialog has no place for the box.
int MessageDlgWithCheckBox(HWND owner, const std::wstring& message, MsgDlgType type, unsigned buttons, int helpContext,
                           bool& dontShowAgain);

// Asks for one line of text: true with `value` set when the user confirmed.
bool InputQuery(HWND owner, const std::wstring& caption, const std::wstring& prompt, std::wstring& value);
