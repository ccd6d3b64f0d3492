#pragma once
// The modal "HotKey List" window: one row per hotkey of "HotKeys.xml", with the file it launches.
// It exists only while it is shown.

#include <windows.h>

#include <string>

#include "base/Handles.h"
#include "base/Window.h"
#include "hotkeys/HotKeysXml.h"

inline constexpr const wchar_t* kHotKeysListClass = L"TFormHotKeysList";
inline constexpr const wchar_t* kHotKeysListCaption = L"HotKey List";

class TFormHotKeysList : public Window {
public:
    explicit TFormHotKeysList(std::wstring hotKeysXmlName);
    ~TFormHotKeysList() override;

    // Creates the window, fills it from the file and shows it modally over `owner`, which is
    // disabled meanwhile. Returns IDOK when "&Close" closed it, IDCANCEL otherwise.
    int ShowModal(HWND owner);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate();
    // Fills the list from the file; a file without any node says "nil".
    void LoadHotKeysFile(const std::wstring& path);
    void AddRow(const HotKeyRow& row, int index);
    void LayOut();
    // The window as high as its rows, within the work area of the monitor under the cursor, and
    // centred on it.
    void SizeToRows();
    void Close(int result);
    int Scale(int pixels) const;

    std::wstring m_fileName;
    unsigned m_dpi = 96;
    UniqueHfont m_font;
    HWND m_listViewHotKey = nullptr;
    HWND m_buttonClose = nullptr;
    bool m_closed = false;
    int m_result = IDCANCEL;
};
