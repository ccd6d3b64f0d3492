#pragma once
// The lowered panel that fills the floating window: it carries the tool bar and, when there are no
// buttons, the help text. Commands and notifications of its children go on to the window.

#include <windows.h>

#include <functional>
#include <string>

#include "base/Window.h"

class PanelIcon : public Window {
public:
    explicit PanelIcon(std::function<void()> onMouseMove);

    void Create(HWND parent, int x, int y, int width, int height);
    void SetText(const std::wstring& text);
    std::wstring Text() const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PaintTo(HDC dc);

    std::function<void()> m_onMouseMove;
    HFONT m_font = nullptr;  // the window's font; owned by the window
};
