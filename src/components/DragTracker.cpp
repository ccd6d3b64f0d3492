#include "components/DragTracker.h"

std::optional<POINT> TrackItemDrag(HWND captureWindow, const std::function<bool(POINT screen)>& over)
{
    HCURSOR accepted = ::LoadCursorW(nullptr, IDC_ARROW);
    HCURSOR refused = ::LoadCursorW(nullptr, IDC_NO);
    auto follow = [&](POINT at) {
        const bool takes = over(at);
        ::SetCursor(takes ? accepted : refused);
        return takes;
    };
    ::SetCapture(captureWindow);
    POINT start{};
    ::GetCursorPos(&start);
    follow(start);

    std::optional<POINT> dropped;
    MSG msg{};
    bool running = true;
    while (running && ::GetCapture() == captureWindow) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: the loop that asked for it must see the quit message too.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        switch (msg.message) {
        case WM_MOUSEMOVE:
            follow(msg.pt);
            break;
        case WM_LBUTTONUP:
            if (follow(msg.pt)) dropped = msg.pt;
            running = false;
            break;
        case WM_RBUTTONDOWN:
            running = false;
            break;
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) running = false;
            break;
        case WM_KEYUP:
        case WM_CHAR:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONUP:
            break;  // the drag's own input goes nowhere else
        default:
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
            break;
        }
    }
    if (::GetCapture() == captureWindow) ::ReleaseCapture();
    POINT now{};
    ::GetCursorPos(&now);
    ::SetCursorPos(now.x, now.y);  // the control under the cursor sets its own cursor again
    return dropped;
}
