#pragma once
// TOrvoFolderDialog: the shell's folder browser, centred, with the selection's path as its status
// text and, on the classic dialog, a "New folder" button of its own.

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "components/DialogRules.h"

class TOrvoFolderDialog {
public:
    TOrvoFolderDialog();
    ~TOrvoFolderDialog();
    TOrvoFolderDialog(const TOrvoFolderDialog&) = delete;
    TOrvoFolderDialog& operator=(const TOrvoFolderDialog&) = delete;

    // After a choice, find out whether it is a special folder (see SpecialFolder).
    bool ReturnSpecialFolder = false;
    // In: a special folder (CSIDL) to select first, -1 for none. Out: the choice's special-folder
    // number when ReturnSpecialFolder is set, else -1.
    int SpecialFolder = -1;
    // In: the folder to select first. Out: the chosen folder's path (empty for a virtual folder).
    std::wstring Folder;
    BrowseInfoFlagSet Flags = DefaultBrowseInfoFlags();
    SHFolders RootFolder = SHFolders::foDesktopExpanded;
    // NAME=VALUE lines; the value of "Default" is used.
    std::vector<std::wstring> LabelCaptions = {L"Default=Current folder:", L"0009=Current folder:"};
    std::vector<std::wstring> NewFolderCaptions = {L"Default=New folder", L"0009=New folder"};
    std::vector<std::wstring> Titles;
    // The owner window (the application's active window when none).
    HWND Parent = nullptr;

    std::function<void(HWND dialog)> OnInitialized;
    std::function<void(HWND dialog, PCIDLIST_ABSOLUTE item, const std::wstring& folder, DWORD attributes)>
        OnSelectionChanged;
    std::function<void(HWND dialog)> OnValidateFailed;

    static constexpr const wchar_t* Version = L"8.00.00.00";

    // True when the user chose a folder; Folder, SpecialFolder and DisplayName() describe it.
    bool Execute();
    const std::wstring& DisplayName() const noexcept { return m_displayName; }
    DWORD Attributes() const noexcept { return m_attributes; }

private:
    static int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) noexcept;
    static LRESULT CALLBACK ButtonHostProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                           DWORD_PTR data) noexcept;
    void Initialized(HWND dialog);
    void SelectionChanged(HWND dialog, PCIDLIST_ABSOLUTE item);
    void AddNewFolderButton(HWND dialog);
    void NewFolderClicked();
    void Describe(PCIDLIST_ABSOLUTE item, std::wstring& path, std::wstring& displayName, DWORD& attributes) const;

    bool m_comInitialized = false;
    bool m_newStyle = false;
    HWND m_dialog = nullptr;
    HWND m_button = nullptr;
    bool m_initialized = false;
    bool m_reopen = false;
    bool m_fileSystemSelection = false;
    std::wstring m_lastSelection;
    std::wstring m_pendingPath;
    std::wstring m_displayName;
    DWORD m_attributes = 0;
};
