#pragma once
// TOrvoPickIconDialog: the shell's icon picker, with the chosen icon loaded.

#include <windows.h>

#include <string>

#include "base/Handles.h"

class TOrvoPickIconDialog {
public:
    // The file to open the picker on; after a successful Execute, the chosen file. Empty means the
    // system icon library.
    std::wstring IconFile;
    // The icon number in the file, in and out.
    int IconIndex = 0;
    // The picker's owner window.
    HWND ParHandle = nullptr;

    // True when the user chose an icon; IconFile, IconIndex and Icon then describe it. On cancel
    // nothing changes.
    bool Execute();
    // The icon chosen in the last successful Execute (owned; may be null when the file has no
    // icon at that number).
    HICON Icon() const noexcept { return m_icon.get(); }

    // The file the picker starts on: IconFile, or SHELL32.DLL of the system folder.
    static std::wstring StartFile(const std::wstring& iconFile, const std::wstring& systemFolder);
    // The small icon number `index` of a file; null when the file has no icon at that number.
    static UniqueHicon LoadSmallIcon(const std::wstring& file, int index);

private:
    UniqueHicon m_icon;
};
