// An exception at the edge of a window procedure: its message in an error box, one box at a time.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/ErrorReport.h"
#include "base/LauncherError.h"
#include "base/Window.h"
#include "common/ThreadBoxes.h"

namespace {
constexpr UINT kFail = WM_APP;
constexpr UINT kMarker = WM_APP + 1;

class FailingWindow : public Window {
public:
    void Create()
    {
        RegisterWindowClass(L"ErrorReportTestWindow", 0);
        CreateWindowInstance(0, L"ErrorReportTestWindow", L"", WS_POPUP, 0, 0, 0, 0, nullptr);
    }
    std::atomic<int> markers{0};

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kFail) throw LauncherError(L"Broken component");
        if (message == kMarker) ++markers;
        return DefaultHandling(message, wParam, lParam);
    }
};

std::vector<HWND> Boxes(DWORD thread)
{
    return thread_boxes::BoxesShowing(thread, L"Broken component", L"Orvo Launcher");
}

bool Poll(const std::function<bool()>& condition)
{
    for (int i = 0; i < 500; ++i) {
        if (condition()) return true;
        ::Sleep(20);
    }
    return condition();
}
} // namespace

TEST(ErrorBoxes, ComponentErrorIsShownOnceWhileItsBoxIsUpAndAgainAfterwards)
{
    SetErrorBoxCaption(L"Orvo Launcher");
    FailingWindow window;
    window.Create();
    const DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<int> mostBoxesAtOnce{0}, rounds{0};

    // The user: waits for the box, lets the same failure happen twice more while it is up, then
    // presses OK. Twice.
    std::thread user([&] {
        for (int round = 0; round < 2; ++round) {
            if (!Poll([&] { return !Boxes(uiThread).empty(); })) return;
            const int markersBefore = window.markers;
            ::PostMessageW(window.Handle(), kFail, 0, 0);
            ::PostMessageW(window.Handle(), kFail, 0, 0);
            // Handled after both failures, by the box's own message loop.
            ::PostMessageW(window.Handle(), kMarker, 0, 0);
            Poll([&] { return window.markers > markersBefore; });
            mostBoxesAtOnce = std::max(mostBoxesAtOnce.load(), static_cast<int>(Boxes(uiThread).size()));
            // Every box goes, so a failing check never leaves the test waiting.
            Poll([&] {
                const std::vector<HWND> boxes = Boxes(uiThread);
                if (!boxes.empty()) ::PostMessageW(boxes.back(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                return boxes.empty();
            });
            ++rounds;
        }
    });
    for (int round = 0; round < 2; ++round) ::SendMessageW(window.Handle(), kFail, 0, 0);
    user.join();
    EXPECT_EQ(rounds, 2) << "a failure showed no box";
    EXPECT_EQ(mostBoxesAtOnce, 1);
    EXPECT_EQ(window.markers, 2);
}

TEST(ErrorBoxes, MessageOfEachKindOfException)
{
    const auto messageOf = [](auto&& raise) {
        try {
            raise();
        } catch (...) {
            return CurrentExceptionMessage();
        }
        return std::wstring(L"(nothing thrown)");
    };
    EXPECT_EQ(messageOf([] { throw LauncherError(L"DirMon already started"); }), L"DirMon already started");
    EXPECT_EQ(messageOf([] { throw std::runtime_error("Cannot load"); }), L"Cannot load");
    EXPECT_EQ(messageOf([] { throw std::bad_alloc(); }), L"Out of memory.");
    EXPECT_EQ(messageOf([] { throw 42; }), L"Unexpected error.");
}
