#include "groups/StartGroupShortcut.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>

#include "base/Handles.h"
#include "base/Strings.h"
#include "base/WinUtil.h"
#include "groups/StartGroupCommand.h"

namespace {
// Enough for every sensible name; past it the desktop is given up on rather than searched on.
constexpr int kMostShortcutNumber = 999;

std::wstring DesktopFolder()
{
    PWSTR path = nullptr;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path))) return {};
    UniqueCoTaskMem owner(path);
    return path;
}

bool PathTaken(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
} // namespace

bool PutTextOnClipboard(HWND owner, const std::wstring& text)
{
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block) return false;
    void* data = ::GlobalLock(block);
    if (!data) {
        ::GlobalFree(block);
        return false;
    }
    std::memcpy(data, text.c_str(), bytes);
    ::GlobalUnlock(block);
    // Another program may hold the clipboard for a moment.
    bool opened = false;
    for (int attempt = 0; attempt < 10 && !(opened = ::OpenClipboard(owner) != FALSE); ++attempt) ::Sleep(20);
    if (!opened) {
        ::GlobalFree(block);
        return false;
    }
    ::EmptyClipboard();
    const bool placed = ::SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    ::CloseClipboard();
    // The clipboard owns the block once it took it.
    if (!placed) ::GlobalFree(block);
    return placed;
}

bool CreateGroupShortcut(const std::wstring& program, const std::wstring& arguments, const std::wstring& caption)
{
    const std::wstring desktop = DesktopFolder();
    if (desktop.empty()) return false;
    std::wstring path;
    for (int number = 1; number <= kMostShortcutNumber && path.empty(); ++number) {
        const std::wstring candidate = IncludeTrailingBackslash(desktop) + GroupShortcutFileName(caption, number);
        if (!PathTaken(candidate)) path = candidate;
    }
    if (path.empty()) return false;

    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.put()))))
        return false;
    link.get()->SetPath(program.c_str());
    link.get()->SetArguments(arguments.c_str());
    link.get()->SetWorkingDirectory(ExtractFileDir(program).c_str());
    link.get()->SetIconLocation(program.c_str(), 0);
    link.get()->SetDescription((L"Runs the start group \"" + caption + L"\"").c_str());
    ComPtr<IPersistFile> file;
    if (FAILED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))) ||
        FAILED(file.get()->Save(path.c_str(), TRUE)))
        return false;
    ::SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW, path.c_str(), nullptr);
    return true;
}
