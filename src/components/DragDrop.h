#pragma once
// TFileDropTarget: a panel that takes files dragged from the shell and dropped on it or on any of
// its child controls (the classic shell drop: DragAcceptFiles and WM_DROPFILES, no COM). One drop
// raises OnDropFiles with the full paths in the shell's order and the drop point, then offers the
// same list to the direct child strictly under the point, or else to the panel itself.

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "base/Window.h"

using DroppedFiles = std::vector<std::wstring>;
// A drop handler: the files and the point in the receiving control's client coordinates.
using DropHandler = std::function<void(const DroppedFiles& files, POINT at)>;

enum class PanelBevel { None, Lowered, Raised };

class TFileDropTarget : public Window {
public:
    TFileDropTarget() = default;
    ~TFileDropTarget() override;

    // Creates the panel as a child of `parent`; it accepts drops from then on.
    void Create(HWND parent, const RECT& bounds, int controlId = 0);
    void SetBounds(const RECT& bounds);

    // The panel's look: background colour (a system colour index) and its outer bevel.
    void SetColor(int systemColorIndex);
    void SetBevelOuter(PanelBevel bevel);
    void SetCaption(const std::wstring& caption);

    // Raised once per drop, before the control under the point gets it.
    DropHandler OnDropFiles;
    // The panel's own drag-drop: a drop that no child takes.
    DropHandler OnDragDrop;
    // The drag-drop of a direct child (the point comes in the child's coordinates); a child
    // without one takes its drops silently.
    void SetChildDragDrop(HWND child, DropHandler handler);

    // The paths of a drop handle, in the shell's order, of any length (at most 65 535).
    static DroppedFiles QueryDroppedFiles(HDROP drop);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnDrop(HDROP drop);
    void DragDrop(const DroppedFiles& files, POINT at);
    void Paint();

    std::map<HWND, DropHandler> m_childHandlers;
    int m_color = COLOR_BTNFACE;
    PanelBevel m_bevel = PanelBevel::None;
};
