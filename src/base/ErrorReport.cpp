#include "base/ErrorReport.h"

#include <windows.h>

#include <algorithm>
#include <deque>
#include <exception>
#include <new>

#include "base/LauncherError.h"
#include "base/Strings.h"

namespace {
std::wstring g_caption = L"Error";
thread_local bool t_boxOpen = false;
// Failures that came while a box was up, each shown once after it. The same failure repeating
// (a timer that fails on every tick) is not queued again, and a burst of others is bounded.
thread_local std::deque<std::wstring> t_waiting;
thread_local std::wstring t_shown;
constexpr std::size_t kMostWaiting = 8;

void ShowBox(const std::wstring& message)
{
    ::MessageBeep(MB_ICONASTERISK);
    ::MessageBoxW(nullptr, message.c_str(), g_caption.c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}
} // namespace

void SetErrorBoxCaption(const std::wstring& caption) { g_caption = caption; }

std::wstring CurrentExceptionMessage()
{
    try {
        throw;
    } catch (const LauncherError& error) {
        return error.Message();
    } catch (const std::bad_alloc&) {
        return L"Out of memory.";
    } catch (const std::exception& error) {
        return Utf8ToWide(error.what());
    } catch (...) {
        return L"Unexpected error.";
    }
}

void ShowCurrentException() noexcept
{
    try {
        std::wstring message = CurrentExceptionMessage();
        if (t_boxOpen) {
            if (message != t_shown && t_waiting.size() < kMostWaiting &&
                std::find(t_waiting.begin(), t_waiting.end(), message) == t_waiting.end())
                t_waiting.push_back(std::move(message));
            return;
        }
        t_boxOpen = true;
        for (;;) {
            t_shown = message;
            ShowBox(message);
            if (t_waiting.empty()) break;
            message = std::move(t_waiting.front());
            t_waiting.pop_front();
        }
        t_shown.clear();
        t_boxOpen = false;
    } catch (...) {
        t_waiting.clear();
        t_shown.clear();
        t_boxOpen = false;
    }
}
