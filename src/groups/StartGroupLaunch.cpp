#include "groups/StartGroupLaunch.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "base/WinUtil.h"
#include "items/ItemFiles.h"
#include "items/ItemRules.h"
#include "items/ShellOperations.h"

namespace {
// Longer than any path or argument string the shell keeps in a shortcut.
constexpr int kTextLength = 32768;

struct ShortcutTarget {
    std::wstring file;
    std::wstring arguments;
    std::wstring folder;
    int show = SW_SHOWNORMAL;
    bool asAdministrator = false;
};

std::wstring Expanded(const std::wstring& text)
{
    if (text.find(L'%') == std::wstring::npos) return text;
    const DWORD size = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (size == 0) return text;
    std::wstring result(size, L'\0');
    const DWORD written = ::ExpandEnvironmentStringsW(text.c_str(), result.data(), size);
    if (written == 0 || written > size) return text;
    result.resize(written - 1);
    return result;
}

// What the shell would start for a shortcut; no file for one that names no file (a shell folder,
// a Control Panel item), which is then started as it is.
ShortcutTarget ReadShortcutTarget(const std::wstring& path)
{
    ShortcutTarget target;
    ComPtr<IShellLinkW> link = LoadShellLink(path);
    if (!link) return target;
    std::wstring text(kTextLength, L'\0');
    auto take = [&] {
        std::wstring value(text.c_str());
        text.assign(kTextLength, L'\0');
        return value;
    };
    if (link.get()->GetPath(text.data(), kTextLength, nullptr, 0) != S_OK) return target;
    target.file = take();
    if (SUCCEEDED(link.get()->GetArguments(text.data(), kTextLength))) target.arguments = Expanded(take());
    if (SUCCEEDED(link.get()->GetWorkingDirectory(text.data(), kTextLength))) target.folder = Expanded(take());
    int show = SW_SHOWNORMAL;
    if (SUCCEEDED(link.get()->GetShowCmd(&show)) && show != SW_HIDE) target.show = show;
    ComPtr<IShellLinkDataList> data;
    DWORD flags = 0;
    if (SUCCEEDED(link.get()->QueryInterface(IID_IShellLinkDataList, reinterpret_cast<void**>(data.put()))) &&
        SUCCEEDED(data.get()->GetFlags(&flags)))
        target.asAdministrator = (flags & SLDF_RUNAS_USER) != 0;
    return target;
}

UniqueHandle Execute(const wchar_t* verb, const std::wstring& file, const std::wstring& arguments,
                     const std::wstring& folder, int show)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = show;
    if (!::ShellExecuteExW(&info)) return {};
    return UniqueHandle(info.hProcess);
}
} // namespace

UniqueHandle LaunchForWaiting(const std::wstring& path)
{
    if (!FileExists(path)) return {};
    switch (ItemFileKindOf(path)) {
    case ItemFileKind::InternetShortcut: LaunchItemFile(path); return {};
    case ItemFileKind::Shortcut: {
        const ShortcutTarget target = ReadShortcutTarget(path);
        if (target.file.empty()) break;
        return Execute(target.asAdministrator ? L"runas" : nullptr, target.file, target.arguments, target.folder,
                       target.show);
    }
    case ItemFileKind::Other: break;
    }
    return Execute(nullptr, path, L"", L"", SW_SHOWNORMAL);
}
