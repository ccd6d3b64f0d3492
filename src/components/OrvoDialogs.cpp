#include "components/OrvoDialogs.h"

#include <vector>

#include "base/Dpi.h"
#include "base/ErrorReport.h"
#include "base/Handles.h"

namespace {

struct ButtonInfo {
    MsgDlgButton button;
    int result;
    const wchar_t* caption;
};
constexpr ButtonInfo kButtons[] = {
    {mbYes, mrYes, L"&Yes"},       {mbNo, mrNo, L"&No"},          {mbOK, mrOk, L"OK"},
    {mbCancel, mrCancel, L"Cancel"}, {mbAbort, mrAbort, L"&Abort"}, {mbRetry, mrRetry, L"&Retry"},
    {mbIgnore, mrIgnore, L"&Ignore"},
};

const wchar_t* CaptionOf(MsgDlgType type)
{
    switch (type) {
    case MsgDlgType::Warning: return L"Warning";
    case MsgDlgType::Error: return L"Error";
    case MsgDlgType::Information: return L"Information";
    case MsgDlgType::Confirmation: return L"Confirm";
    case MsgDlgType::Custom: break;
    }
    return L"Orvo Launcher";
}

const wchar_t* IconOf(MsgDlgType type)
{
    switch (type) {
    case MsgDlgType::Warning: return IDI_WARNING;
    case MsgDlgType::Error: return IDI_ERROR;
    case MsgDlgType::Information: return IDI_INFORMATION;
    case MsgDlgType::Confirmation: return IDI_QUESTION;
    case MsgDlgType::Custom: break;
    }
    return nullptr;
}

struct DialogState {
    const std::wstring* message;
    MsgDlgType type;
    unsigned buttons;
    int helpContext;
    UniqueHfont font;
    HWND checkBox = nullptr;
    bool checked = false;
};

HWND AddControl(HWND dialog, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int w, int h,
                HFONT font)
{
    HWND control = ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, dialog,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                     nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

SIZE TextExtent(HDC dc, const std::wstring& text, int maxWidth)
{
    RECT r{0, 0, maxWidth, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    return {r.right - r.left, r.bottom - r.top};
}

void LayOut(HWND dialog, DialogState& state)
{
    const unsigned dpi = WindowDpi(dialog);
    state.font.reset(CreateMessageFont(dpi));
    HDC dc = ::GetDC(dialog);
    HGDIOBJ oldFont = ::SelectObject(dc, state.font.get());
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    SIZE alphabet{};
    ::GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &alphabet);
    const int baseX = (alphabet.cx / 26 + 1) / 2;
    const int baseY = tm.tmHeight;
    const int horzMargin = ::MulDiv(8, baseX, 4), vertMargin = ::MulDiv(8, baseY, 8);
    const int horzSpacing = ::MulDiv(10, baseX, 4), vertSpacing = ::MulDiv(10, baseY, 8);
    const int buttonWidth = ::MulDiv(50, baseX, 4), buttonHeight = ::MulDiv(14, baseY, 8);
    const int buttonSpacing = ::MulDiv(4, baseX, 4);

    const SIZE text = TextExtent(dc, *state.message, ::GetSystemMetrics(SM_CXSCREEN) / 2);
    SIZE checkText{};
    const std::wstring checkCaption = L"Don't show this message again";
    ::GetTextExtentPoint32W(dc, checkCaption.c_str(), static_cast<int>(checkCaption.size()), &checkText);
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(dialog, dc);

    // The icon ("Image") and the text ("Message"), side by side.
    const wchar_t* iconName = IconOf(state.type);
    const int iconSize = iconName ? ScaleForDpi(32, dpi) : 0;
    int anchorLeft = horzMargin, anchorTop = vertMargin;
    int textLeft = horzMargin;
    if (iconName) {
        HWND image = AddControl(dialog, L"STATIC", nullptr, SS_ICON | SS_REALSIZECONTROL, 0xFFFF, horzMargin,
                                vertMargin, iconSize, iconSize, state.font.get());
        ::SendMessageW(image, STM_SETICON, reinterpret_cast<WPARAM>(::LoadIconW(nullptr, iconName)), 0);
        textLeft = horzMargin + iconSize + horzSpacing;
    }
    AddControl(dialog, L"STATIC", state.message->c_str(), SS_LEFT | SS_NOPREFIX, 0xFFFF, textLeft, vertMargin,
               text.cx, text.cy, state.font.get());

    std::vector<const ButtonInfo*> buttons;
    for (const auto& b : kButtons)
        if (state.buttons & b.button) buttons.push_back(&b);
    if (buttons.empty()) buttons.push_back(&kButtons[2]);  // at least OK
    const int count = static_cast<int>(buttons.size());
    const int groupWidth = count * buttonWidth + (count - 1) * buttonSpacing;
    const int iconTextWidth = textLeft - horzMargin + text.cx;
    const int iconTextHeight = text.cy > iconSize ? text.cy : iconSize;
    int clientWidth = (iconTextWidth > groupWidth ? iconTextWidth : groupWidth) + 2 * horzMargin;
    int clientHeight = iconTextHeight + buttonHeight + vertSpacing + 2 * vertMargin;

    int x = (clientWidth - groupWidth) / 2;
    const int y = iconTextHeight + vertMargin + vertSpacing;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        AddControl(dialog, L"BUTTON", buttons[i]->caption, WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                   buttons[i]->result, x, y, buttonWidth, buttonHeight, state.font.get());
        x += buttonWidth + buttonSpacing;
    }

    // The check box goes below everything, left-aligned with the anchor; the dialog grows by its
    // height plus the anchor's top margin.
    const int boxWidth = checkText.cx + ScaleForDpi(19, dpi);
    const int boxHeight = ScaleForDpi(17, dpi);
    state.checkBox = AddControl(dialog, L"BUTTON", kDontShowAgainCaption, WS_TABSTOP | BS_AUTOCHECKBOX,
                                kDontShowAgainId, anchorLeft, clientHeight, boxWidth, boxHeight, state.font.get());
    clientHeight += boxHeight + anchorTop;
    if (clientWidth < boxWidth + 2 * anchorLeft) clientWidth = boxWidth + 2 * anchorLeft;

    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectForDpi(&frame, static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_STYLE)),
                           static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE)), dpi);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int left = ::GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
    const int top = ::GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
    ::SetWindowPos(dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetFocus(::GetDlgItem(dialog, buttons.front()->result));
}

int CancelResult(unsigned buttons)
{
    if (buttons & mbCancel) return mrCancel;
    if (buttons & mbNo) return mrNo;
    return mrOk;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    auto* state = reinterpret_cast<DialogState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    try {
        switch (message) {
        case WM_INITDIALOG:
            state = reinterpret_cast<DialogState*>(lParam);
            ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            ::SetWindowTextW(dialog, CaptionOf(state->type));
            ::SetWindowContextHelpId(dialog, static_cast<DWORD>(state->helpContext));
            LayOut(dialog, *state);
            return FALSE;  // the focus is set
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == kDontShowAgainId) return FALSE;
            if (id == IDCANCEL) {
                state->checked = ::IsDlgButtonChecked(dialog, kDontShowAgainId) == BST_CHECKED;
                ::EndDialog(dialog, CancelResult(state->buttons));
                return TRUE;
            }
            if (id >= mrOk && id <= mrNo) {
                state->checked = ::IsDlgButtonChecked(dialog, kDontShowAgainId) == BST_CHECKED;
                ::EndDialog(dialog, id);
                return TRUE;
            }
            break;
        }
        default:
            break;
        }
    } catch (...) {
        ::EndDialog(dialog, mrCancel);
        ShowCurrentException();
    }
    return FALSE;
}

// An empty dialog template: the controls are made when the dialog knows its font and DPI.
std::vector<WORD> EmptyTemplate()
{
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(t.data());
    header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    header->dwExtendedStyle = WS_EX_DLGMODALFRAME;
    header->cdit = 0;
    return t;  // menu, class and title are the three trailing zero words
}

} // namespace

int MessageDlgWithCheckBox(HWND owner, const std::wstring& message, MsgDlgType type, unsigned buttons,
                           int helpContext, bool& dontShowAgain)
{
    DialogState state{&message, type, buttons, helpContext, {}, nullptr, false};
    std::vector<WORD> dialogTemplate = EmptyTemplate();
    const INT_PTR result =
        ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(dialogTemplate.data()),
                                  owner, &DialogProc, reinterpret_cast<LPARAM>(&state));
    if (result <= 0) return mrNone;
    dontShowAgain = state.checked;
    return static_cast<int>(result);
}

namespace {
struct InputState {
    const std::wstring* caption;
    const std::wstring* prompt;
    std::wstring* value;
    UniqueHfont font;
};

constexpr int kInputEditId = 100;

INT_PTR CALLBACK InputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    auto* state = reinterpret_cast<InputState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    try {
        switch (message) {
        case WM_INITDIALOG: {
            state = reinterpret_cast<InputState*>(lParam);
            ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            ::SetWindowTextW(dialog, state->caption->c_str());
            const unsigned dpi = WindowDpi(dialog);
            state->font.reset(CreateMessageFont(dpi));
            auto s = [&](int v) { return ScaleForDpi(v, dpi); };
            const int width = s(300);
            AddControl(dialog, L"STATIC", state->prompt->c_str(), SS_LEFT | SS_NOPREFIX, 0xFFFF, s(10), s(10),
                       width - s(20), s(16), state->font.get());
            HWND edit = AddControl(dialog, L"EDIT", state->value->c_str(), WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                                   kInputEditId, s(10), s(30), width - s(20), s(22), state->font.get());
            AddControl(dialog, L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, width - s(170), s(62), s(75),
                       s(25), state->font.get());
            AddControl(dialog, L"BUTTON", L"Cancel", WS_TABSTOP, IDCANCEL, width - s(85), s(62), s(75), s(25),
                       state->font.get());
            RECT frame{0, 0, width, s(97)};
            AdjustWindowRectForDpi(&frame, static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_STYLE)),
                                   static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE)), dpi);
            const int w = frame.right - frame.left, h = frame.bottom - frame.top;
            ::SetWindowPos(dialog, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                           (::GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, SWP_NOZORDER);
            ::SetFocus(edit);
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                HWND edit = ::GetDlgItem(dialog, kInputEditId);
                std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
                text.resize(static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
                *state->value = std::move(text);
                ::EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                ::EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        default:
            break;
        }
    } catch (...) {
        ::EndDialog(dialog, IDCANCEL);
    }
    return FALSE;
}
} // namespace

bool InputQuery(HWND owner, const std::wstring& caption, const std::wstring& prompt, std::wstring& value)
{
    std::wstring answer = value;
    InputState state{&caption, &prompt, &answer, {}};
    std::vector<WORD> dialogTemplate = EmptyTemplate();
    const INT_PTR result =
        ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(dialogTemplate.data()),
                                  owner, &InputProc, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return false;
    value = std::move(answer);
    return true;
}
