#pragma once
// The "Group Start" page of the main window: the group list (sorted by caption), its context
// menu, the New, Edit and Delete buttons, and a line that names the running group.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Window.h"
#include "groups/StartGroupQueue.h"
#include "groups/StartGroupStore.h"

struct StartGroupPageEvents {
    std::function<void()> NewGroup;
    std::function<void()> EditGroup;  // also a double click on a row
    std::function<void()> DeleteGroup;
    std::function<void()> Help;
    // The selected group's command line to the clipboard, and a shortcut to it on the desktop.
    std::function<void()> CopyCommandLine;
    std::function<void()> CreateShortcut;
};

class StartGroupPage : public ChildDialog {
public:
    explicit StartGroupPage(StartGroupPageEvents events);

    // Creates the page from its template; rows show image `imageIndex` of `images`.
    void CreatePage(HINSTANCE instance, HWND parent, HIMAGELIST images, int imageIndex);
    void LayOut();

    // The rows, in list order (by caption, letter case ignored).
    const std::vector<GroupRow>& Rows() const noexcept { return m_rows; }
    std::vector<std::wstring> Captions() const;
    void SetRows(std::vector<GroupRow> rows);
    // Adds a row, or changes the one with caption `original`, and selects it.
    void AddRow(const GroupRow& row);
    void ReplaceRow(const std::wstring& original, const GroupRow& row);
    void RemoveRow(const std::wstring& caption);
    std::optional<GroupRow> SelectedRow() const;
    // "Running: Work (3 of 7)" below the list while a group runs; nothing otherwise.
    void ShowRunning(const std::optional<GroupProgress>& progress);

    // The two column widths in pixels at 96 DPI, as the settings keep them.
    std::pair<int, int> ColumnWidths() const;
    void SetColumnWidths(int caption, int count);
    // The narrowest width, at 96 DPI, that shows a column's header text whole in the list's font.
    int HeaderFitWidth(int column) const;

    HWND ListViewGroup() const noexcept { return m_list; }

protected:
    INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Fill(const std::wstring& selectCaption);
    void ShowPopupMenu(POINT screen);
    unsigned Dpi() const;

    StartGroupPageEvents m_events;
    std::vector<GroupRow> m_rows;
    HWND m_list = nullptr;
    HWND m_status = nullptr;
    int m_imageIndex = -1;
};
