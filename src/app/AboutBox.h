#pragma once
// TAboutBox: the About box (ModalKind 1): the program's name and version, the system it runs on,
// the maker's home page and the data folder. Clicking the version line checks for a new version.
// The check belongs to the box object, not to its window: closing the box while the server takes its
// time lets the check go on, and its answer shows when it comes.

#include <windows.h>

#include <functional>
#include <string>

#include "base/Handles.h"
#include "components/EnterLeaveLabel.h"
#include "update/UpdateCheck.h"

class TAboutBox : private UpdateCheckHost {
public:
    // `isMenuOpen`: while it holds, the answer of a check waits for the menu to close.
    explicit TAboutBox(std::function<bool()> isMenuOpen);
    TAboutBox(const TAboutBox&) = delete;
    TAboutBox& operator=(const TAboutBox&) = delete;
    ~TAboutBox();

    // Shows the box modally over `owner` and returns when it has been closed. While it is open,
    // *openWindow holds it so the owner can bring it forward; `dataFolder` is what its link opens.
    void ShowModal(HWND owner, HWND* openWindow, const std::wstring& dataFolder);

private:
    // UpdateCheckHost
    HWND UpdateAnswerOwner() override;
    bool CanShowUpdateAnswer() override;
    void UpdateCheckChanged() override;

    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void InitDialog();
    void AttachLink(TEnterLeaveLabel& label, int id, const std::wstring& hint);
    void ShowVersionLine();
    bool IsLink(HWND control) const;

    std::function<bool()> m_isMenuOpen;
    TUpdateCheck m_check;
    HWND m_owner = nullptr;
    HWND m_dialog = nullptr;
    HWND* m_openWindow = nullptr;
    HWND m_hint = nullptr;
    std::wstring m_dataFolder;
    std::wstring m_versionLine;
    UniqueHfont m_titleFont;
    TEnterLeaveLabel m_versionLabel;
    TEnterLeaveLabel m_homePageLink;
    TEnterLeaveLabel m_dataFolderLink;
};
