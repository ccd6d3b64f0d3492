#pragma once
// Real files for the items tests: a temporary folder removed afterwards, text files, and shortcuts
// written through the shell link object.

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "base/Handles.h"
#include "base/Strings.h"

#include "common/TempFolder.h"

namespace item_test {

using ::TempFolder;

inline void MakeFolder(const std::wstring& path) { ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr)) << WideToUtf8(path); }

inline void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << WideToUtf8(path);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// Under Wine, saving a shortcut starts the desktop-menu builder as a separate process for each file;
// dozens of them at once exhaust the X server's clients. Children inherit this override, which keeps
// the builder from starting. (A Windows system ignores the variable.)
inline void KeepMenuBuilderFromStarting()
{
    wchar_t current[4096] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"WINEDLLOVERRIDES", current, 4096);
    std::wstring value = length < 4096 ? std::wstring(current, length) : std::wstring();
    if (value.find(L"winemenubuilder") != std::wstring::npos) return;
    if (!value.empty()) value += L';';
    value += L"winemenubuilder.exe=d";
    ::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", value.c_str());
}

// A shortcut to `target` with arguments, a description and a hotkey word (key | modifiers << 8).
inline void MakeShortcut(const std::wstring& path, const std::wstring& target, const std::wstring& arguments = L"",
                         const std::wstring& description = L"", WORD hotKey = 0)
{
    KeepMenuBuilderFromStarting();
    ComPtr<IShellLinkW> link;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                             reinterpret_cast<void**>(link.put()))));
    link.get()->SetPath(target.c_str());
    link.get()->SetArguments(arguments.c_str());
    link.get()->SetWorkingDirectory(ExtractFileDir(target).c_str());
    if (!description.empty()) link.get()->SetDescription(description.c_str());
    if (hotKey) link.get()->SetHotkey(hotKey);
    ComPtr<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))));
    ASSERT_TRUE(SUCCEEDED(file.get()->Save(path.c_str(), TRUE))) << WideToUtf8(path);
}

// COM on the test thread, as the program has it on its user-interface thread.
class ComTest : public ::testing::Test {
protected:
    void SetUp() override { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { ::CoUninitialize(); }
};

} // namespace item_test
