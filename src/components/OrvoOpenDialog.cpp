#include "components/OrvoOpenDialog.h"

#include <commdlg.h>
#include <shobjidl.h>

#include "base/Handles.h"
#include "base/OsVersion.h"
#include "components/DialogRules.h"

namespace {
// Room for a long multiple selection (a few hundred long paths).
constexpr DWORD kFileBufferSize = 1u << 16;
} // namespace

bool TOrvoOpenDialog::Execute(HWND owner)
{
    m_files.clear();
    const std::wstring filter = OpenDialogFilter(Filter);
    std::wstring buffer(kFileBufferSize, L'\0');
    OPENFILENAMEW ofn{};
    const bool extended = UsesExtendedOpenFileName(CurrentOsVersion());
    ofn.lStructSize = extended ? sizeof(OPENFILENAMEW) : OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_PATHMUSTEXIST |
                (FileMustExist ? OFN_FILEMUSTEXIST : 0) | (AllowMultiSelect ? OFN_ALLOWMULTISELECT : 0) |
                (DereferenceLinks ? 0 : OFN_NODEREFERENCELINKS);
    if (extended) ofn.FlagsEx = ShowPlacesBar ? 0 : OFN_EX_NOPLACESBAR;
    if (!::GetOpenFileNameW(&ofn)) return false;
    m_files = AllowMultiSelect ? MultiSelectFiles(std::wstring_view(buffer.data(), buffer.size()))
                               : std::vector<std::wstring>{std::wstring(buffer.c_str())};
    return !m_files.empty();
}

bool ExecuteSystemOpenDialog(HWND owner, const std::wstring& filter, bool allowMultiSelect,
                             std::vector<std::wstring>& files, const std::wstring& initialFolder,
                             bool dereferenceLinks)
{
    files.clear();
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                  reinterpret_cast<void**>(dialog.put()))))
        return false;
    // The filter's text and pattern pairs.
    const std::wstring pairs = OpenDialogFilter(filter);
    std::vector<std::wstring> parts;
    for (std::size_t start = 0; start < pairs.size() && pairs[start] != L'\0';) {
        const std::size_t end = pairs.find(L'\0', start);
        parts.push_back(pairs.substr(start, end - start));
        start = end + 1;
    }
    std::vector<COMDLG_FILTERSPEC> specs;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) specs.push_back({parts[i].c_str(), parts[i + 1].c_str()});
    if (!specs.empty()) dialog.get()->SetFileTypes(static_cast<UINT>(specs.size()), specs.data());
    FILEOPENDIALOGOPTIONS options = 0;
    dialog.get()->GetOptions(&options);
    options |= FOS_FORCEFILESYSTEM | FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST | (allowMultiSelect ? static_cast<FILEOPENDIALOGOPTIONS>(FOS_ALLOWMULTISELECT) : 0u);
    if (!dereferenceLinks) options |= FOS_NODEREFERENCELINKS;
    dialog.get()->SetOptions(options);
    if (!initialFolder.empty()) {
        ComPtr<IShellItem> folder;
        if (SUCCEEDED(::SHCreateItemFromParsingName(initialFolder.c_str(), nullptr, IID_IShellItem,
                                                    reinterpret_cast<void**>(folder.put()))))
            dialog.get()->SetFolder(folder.get());
    }
    if (FAILED(dialog.get()->Show(owner))) return false;

    ComPtr<IShellItemArray> results;
    if (FAILED(dialog.get()->GetResults(results.put()))) return false;
    DWORD count = 0;
    results.get()->GetCount(&count);
    for (DWORD i = 0; i < count; ++i) {
        ComPtr<IShellItem> item;
        if (FAILED(results.get()->GetItemAt(i, item.put()))) continue;
        PWSTR path = nullptr;
        if (SUCCEEDED(item.get()->GetDisplayName(SIGDN_FILESYSPATH, &path)) && path) {
            files.emplace_back(path);
            ::CoTaskMemFree(path);
        }
    }
    return !files.empty();
}
