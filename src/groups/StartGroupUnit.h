#pragma once
// TKLGroupForm: the modal window in which the user names a start group, collects its files and
// sets the delay between launches. It reads the group from the settings file, checks the input,
// writes the group's section and hands the caption and file count back.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "components/DragDrop.h"
#include "groups/StartGroupStore.h"

struct GroupEditorContext {
    GroupSettingsFile* settings = nullptr;
    // The captions of the group list, for the duplicate check.
    std::vector<std::wstring> existingCaptions;
    // The main window's help command, and a control's context help.
    std::function<void()> help;
    std::function<void(HWND control, DWORD contextId, POINT at)> contextHelp;
    // The window opened (or closed, with null): the one a second opener brings forward.
    std::function<void(HWND)> windowChanged;
};

class TKLGroupForm {
public:
    explicit TKLGroupForm(GroupEditorContext context);
    ~TKLGroupForm();
    TKLGroupForm(const TKLGroupForm&) = delete;
    TKLGroupForm& operator=(const TKLGroupForm&) = delete;

    // Shows the editor modally. `groupCaption` and `groupFileCount` come in as the group to edit
    // (an empty caption for a new one) and go out as the group written. True for OK.
    bool ShowModal(HWND owner, const std::wstring& windowCaption, std::wstring& groupCaption, int& groupFileCount);
    // True when a save that could not be completed changed the settings file all the same: the
    // group list no longer shows what the file holds.
    bool FileChanged() const noexcept { return m_fileChanged; }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void FormCreate();
    void FormShow();
    void LayOut();
    void AddFile(const std::wstring& path);
    void ActionAdd();
    void ActionDelete();
    void ActionOK();
    void ShowFilesPopupMenu(POINT screen);
    std::vector<std::wstring> FilePaths() const;
    void Fail(const wchar_t* message, HWND focus);

    GroupEditorContext m_context;
    HWND m_dialog = nullptr;
    HWND m_files = nullptr;  // ListViewSCut
    std::unique_ptr<TFileDropTarget> m_dropTarget;
    UniqueImageList m_images;
    UniqueHfont m_font;
    std::wstring m_windowCaption;
    std::wstring m_originalCaption;
    int m_originalFileCount = 0;
    std::wstring m_resultCaption;
    int m_resultFileCount = 0;
    bool m_fileChanged = false;
};
