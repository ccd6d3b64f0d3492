#pragma once
// TEnterLeaveLabel: a static text that shows another font while the mouse is over it.

#include <windows.h>

#include <functional>
#include <string>

#include "base/Handles.h"

class TEnterLeaveLabel;
using TEnterLeaveEvent = std::function<void(TEnterLeaveLabel& sender)>;

class TEnterLeaveLabel {
public:
    TEnterLeaveLabel() = default;
    TEnterLeaveLabel(const TEnterLeaveLabel&) = delete;
    TEnterLeaveLabel& operator=(const TEnterLeaveLabel&) = delete;
    // Puts the label's own font back and lets go of the control; a label made by Create is destroyed.
    virtual ~TEnterLeaveLabel();

    // Creates the label as a child of `parent`, with the parent's font. Throws LauncherError.
    void Create(HWND parent, int id, const std::wstring& text, const RECT& bounds, DWORD style = SS_LEFT);
    // Takes over a static control made from a dialog template; the dialog keeps owning it.
    void Attach(HWND label);
    HWND Handle() const noexcept { return m_hwnd; }

    // Copies the given font's attributes; without a hover font the label keeps its font.
    void SetHoverFont(HFONT font);
    void SetHoverFont(const LOGFONTW& font);
    HFONT HoverFont() const noexcept { return m_hoverFont.get(); }
    // The hover font is shown.
    bool Hovered() const noexcept { return m_hoverShown; }

    TEnterLeaveEvent OnMouseEnter;
    TEnterLeaveEvent OnMouseLeave;

protected:
    // A disabled label keeps its font and raises nothing on entering.
    virtual void MouseEnter();
    // Puts the label's own font back (when the hover font is shown) and raises OnMouseLeave.
    virtual void MouseLeave();

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData) noexcept;
    void Subclass();
    void Release() noexcept;

    UniqueHfont m_hoverFont;
    // The font the label had when the mouse entered. Not ours: whoever gave it to the label keeps it.
    HFONT m_normalFont = nullptr;
    HWND m_hwnd = nullptr;
    bool m_ownsWindow = false;
    bool m_inside = false;
    bool m_hoverShown = false;
};
