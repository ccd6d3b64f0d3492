#include "base/ErrorReport.h"

#include <windows.h>

#include <exception>
#include <new>

#include "base/LauncherError.h"
#include "base/Strings.h"

namespace {
std::wstring g_caption = L"Error";
thread_local bool t_boxOpen = false;
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
        const std::wstring message = CurrentExceptionMessage();
        if (t_boxOpen) return;
        t_boxOpen = true;
        ::MessageBeep(MB_ICONASTERISK);
        ::MessageBoxW(nullptr, message.c_str(), g_caption.c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
        t_boxOpen = false;
    } catch (...) {
        t_boxOpen = false;
    }
}
