#pragma once
// TOrvoOpenDialog: the standard open-file dialog that can hide the places bar. And the system's own
// open dialog of Vista and later, for callers that take the newer one where it exists.

#include <windows.h>

#include <string>
#include <vector>

class TOrvoOpenDialog {
public:
    // "Text|pattern|..." as the dialog lists it.
    std::wstring Filter = L"All Files (*.*)|*.*";
    std::wstring Title;
    std::wstring InitialDir;
    bool AllowMultiSelect = false;
    bool FileMustExist = true;
    bool ShowPlacesBar = true;
    // A chosen shortcut stands for its target unless this is cleared.
    bool DereferenceLinks = true;

    // True when the user confirmed; Files() then holds the chosen files in the dialog's order.
    bool Execute(HWND owner);
    const std::vector<std::wstring>& Files() const noexcept { return m_files; }

private:
    std::vector<std::wstring> m_files;
};

// The system's open dialog (the common item dialog); false on cancel or where there is none. It
// opens on `initialFolder` when one is given.
bool ExecuteSystemOpenDialog(HWND owner, const std::wstring& filter, bool allowMultiSelect,
                             std::vector<std::wstring>& files, const std::wstring& initialFolder = {},
                             bool dereferenceLinks = true);
