#include "components/OrvoBrowseFolderDialog.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "base/Handles.h"
#include "base/OsVersion.h"
#include "base/WinUtil.h"
#include "components/OrvoDialogs.h"

namespace {
constexpr int kNewFolderButtonId = 255;
constexpr UINT_PTR kSubclassId = 1;
constexpr std::size_t kStatusLength = 50;
constexpr DWORD kErrorCannotMake = 82;
// SHGDN_INCLUDE_NONFILESYS, which our headers lack: names of virtual folders too.
constexpr DWORD kIncludeNonFileSystem = 0x2000;

using ShBindToParentFn = HRESULT(WINAPI*)(PCIDLIST_ABSOLUTE, REFIID, void**, PCUITEMID_CHILD*);
using ShGetNameFromIdListFn = HRESULT(WINAPI*)(PCIDLIST_ABSOLUTE, SIGDN, PWSTR*);

template <typename Fn>
Fn ShellFunction(const char* name)
{
    // Optional functions of the shell, looked up by name: a missing one leaves its part out.
    HMODULE shell = ::GetModuleHandleW(L"shell32.dll");
    return shell ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(shell, name))) : nullptr;
}

void ShowSystemMessage(HWND owner, DWORD code)
{
    ::MessageBoxW(owner, SystemErrorText(code).c_str(), L"Orvo Launcher", MB_OK | MB_ICONERROR);
}

UniqueCoTaskMem SpecialFolderItem(int csidl)
{
    PIDLIST_ABSOLUTE item = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &item))) return {};
    return UniqueCoTaskMem(item);
}
} // namespace

TOrvoFolderDialog::TOrvoFolderDialog() { m_comInitialized = SUCCEEDED(::CoInitialize(nullptr)); }

TOrvoFolderDialog::~TOrvoFolderDialog()
{
    if (m_comInitialized) ::CoUninitialize();
}

void TOrvoFolderDialog::Describe(PCIDLIST_ABSOLUTE item, std::wstring& path, std::wstring& displayName,
                                 DWORD& attributes) const
{
    path.clear();
    displayName.clear();
    attributes = 0;
    // The file-system path of any length where the shell offers it, else the classic call.
    if (const auto getName = ShellFunction<ShGetNameFromIdListFn>("SHGetNameFromIDList")) {
        PWSTR name = nullptr;
        if (SUCCEEDED(getName(item, SIGDN_FILESYSPATH, &name)) && name) {
            path = name;
            ::CoTaskMemFree(name);
        }
    } else {
        wchar_t buffer[MAX_PATH + 1] = {};
        if (::SHGetPathFromIDListW(item, buffer)) path = buffer;
    }
    displayName = path;
    const auto bindToParent = ShellFunction<ShBindToParentFn>("SHBindToParent");
    if (!bindToParent) return;
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD child = nullptr;
    if (FAILED(bindToParent(item, IID_IShellFolder, reinterpret_cast<void**>(parent.put()), &child))) return;
    if (displayName.empty()) {
        STRRET name{};
        if (SUCCEEDED(parent.get()->GetDisplayNameOf(child, static_cast<SHGDNF>(kIncludeNonFileSystem), &name))) {
            PWSTR text = nullptr;
            if (SUCCEEDED(::StrRetToStrW(&name, child, &text)) && text) {
                displayName = text;
                ::CoTaskMemFree(text);
            }
        }
    }
    SFGAOF wanted = SFGAO_FILESYSANCESTOR | SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_SHARE |
                    SFGAO_LINK | SFGAO_READONLY | SFGAO_REMOVABLE;
    if (SUCCEEDED(parent.get()->GetAttributesOf(1, &child, &wanted))) attributes = wanted;
}

bool TOrvoFolderDialog::Execute()
{
    ComPtr<IShellFolder> desktop;
    const HRESULT got = ::SHGetDesktopFolder(desktop.put());
    if (FAILED(got)) {
        ShowSystemMessage(Parent, static_cast<DWORD>(got));
        return false;
    }
    m_newStyle = UsesNewDialogStyle(CurrentOsVersion().major, Flags);
    const std::optional<int> rootFolder = RootSpecialFolder(RootFolder);
    UniqueCoTaskMem root;
    if (rootFolder) root = SpecialFolderItem(*rootFolder);
    const std::wstring title = DefaultCaption(LabelCaptions);
    std::wstring displayBuffer(MAX_PATH + 1, L'\0');

    BROWSEINFOW info{};
    info.hwndOwner = Parent && ::IsWindow(Parent) ? Parent : ::GetActiveWindow();
    info.pidlRoot = static_cast<PCIDLIST_ABSOLUTE>(root.get());
    info.pszDisplayName = displayBuffer.data();
    info.lpszTitle = title.c_str();
    info.ulFlags = BrowseFlagsOf(Flags);
    if (!m_newStyle) info.ulFlags &= ~static_cast<UINT>(BIF_NEWDIALOGSTYLE);
    info.lpfn = &TOrvoFolderDialog::BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);

    // The own "New folder" button closes the dialog to open it again on the new folder.
    m_lastSelection = Folder;
    UniqueCoTaskMem chosen;
    for (;;) {
        m_initialized = false;
        m_reopen = false;
        Folder = m_lastSelection;
        chosen.reset(::SHBrowseForFolderW(&info));
        m_dialog = nullptr;
        m_button = nullptr;
        if (!m_reopen) break;
    }
    if (!chosen) return false;

    const auto item = static_cast<PCIDLIST_ABSOLUTE>(chosen.get());
    Describe(item, Folder, m_displayName, m_attributes);
    SpecialFolder = -1;
    if (ReturnSpecialFolder) {
        for (int csidl = 0; csidl <= 255 && SpecialFolder == -1; ++csidl) {
            const UniqueCoTaskMem special = SpecialFolderItem(csidl);
            if (special && desktop.get()->CompareIDs(0, static_cast<PCUIDLIST_RELATIVE>(special.get()), item) == 0)
                SpecialFolder = csidl;
        }
    }
    return true;
}

int CALLBACK TOrvoFolderDialog::BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) noexcept
{
    auto* self = reinterpret_cast<TOrvoFolderDialog*>(data);
    try {
        switch (message) {
        case BFFM_INITIALIZED: self->Initialized(dialog); break;
        case BFFM_SELCHANGED:
            if (lParam) self->SelectionChanged(dialog, reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam));
            break;
        case BFFM_VALIDATEFAILEDW:
            if (self->OnValidateFailed) self->OnValidateFailed(dialog);
            else ::MessageBeep(0);
            return 1;  // the dialog stays for another name
        default: break;
        }
    } catch (...) {
    }
    return 0;
}

void TOrvoFolderDialog::Initialized(HWND dialog)
{
    m_dialog = dialog;
    RECT r{};
    ::GetWindowRect(dialog, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    ::SetWindowPos(dialog, nullptr, ::GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2,
                   ::GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const std::wstring title = DefaultCaption(Titles);
    if (!title.empty()) ::SetWindowTextW(dialog, title.c_str());
    if (!m_newStyle && !Flags.count(BrowseInfoFlag::HideNewFolderButton)) AddNewFolderButton(dialog);

    UniqueCoTaskMem special;
    if (SpecialFolder != -1) special = SpecialFolderItem(SpecialFolder);
    if (special) {
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(special.get()));
    } else if (!m_pendingPath.empty()) {
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(m_pendingPath.c_str()));
        m_pendingPath.clear();
    } else if (!Folder.empty()) {
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(Folder.c_str()));
    }
    m_initialized = true;
    if (OnInitialized) OnInitialized(dialog);
}

void TOrvoFolderDialog::SelectionChanged(HWND dialog, PCIDLIST_ABSOLUTE item)
{
    std::wstring path;
    Describe(item, path, m_displayName, m_attributes);
    m_lastSelection = path;
    if (Flags.count(BrowseInfoFlag::ShowPath)) {
        const std::wstring status = ShortenDisplayName(m_displayName, kStatusLength);
        ::SendMessageW(dialog, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(status.c_str()));
    }
    m_fileSystemSelection = !path.empty();
    bool enableOk = !Flags.count(BrowseInfoFlag::OnlyFileSystem) || m_fileSystemSelection;
    if (Flags.count(BrowseInfoFlag::OnlyAncestors) && !(m_attributes & SFGAO_FILESYSANCESTOR)) enableOk = false;
    ::SendMessageW(dialog, BFFM_ENABLEOK, 0, enableOk ? TRUE : FALSE);
    if (m_button) ::EnableWindow(m_button, m_fileSystemSelection);
    if (OnSelectionChanged) OnSelectionChanged(dialog, item, path, m_attributes);
}

void TOrvoFolderDialog::AddNewFolderButton(HWND dialog)
{
    HDC screen = ::GetDC(nullptr);
    const int ppi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    RECT client{};
    ::GetClientRect(dialog, &client);
    const ButtonPlace place = NewFolderButtonPlace(ppi, client.bottom, ::GetSystemMetrics(SM_CYCAPTION));
    const std::wstring caption = DefaultCaption(NewFolderCaptions);
    m_button = ::CreateWindowExW(0, WC_BUTTONW, caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                 place.left, place.top, place.width, place.height, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kNewFolderButtonId)),
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (!m_button) return;
    // The dialog's own text font, and as wide as the caption needs.
    HWND label = ::FindWindowExW(dialog, nullptr, L"Static", nullptr);
    HFONT font = label ? reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)) : nullptr;
    if (font) ::SendMessageW(m_button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    HDC dc = ::GetDC(m_button);
    HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE text{};
    ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_button, dc);
    ::SetWindowPos(m_button, nullptr, 0, 0, NewFolderButtonWidth(ppi, text.cx), place.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowSubclass(dialog, &TOrvoFolderDialog::ButtonHostProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TOrvoFolderDialog::ButtonHostProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                                                   UINT_PTR, DWORD_PTR data) noexcept
{
    if (message == WM_COMMAND && LOWORD(wParam) == kNewFolderButtonId && HIWORD(wParam) == BN_CLICKED) {
        try {
            reinterpret_cast<TOrvoFolderDialog*>(data)->NewFolderClicked();
        } catch (...) {
        }
        return 0;
    }
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(dialog, &TOrvoFolderDialog::ButtonHostProc, kSubclassId);
    return ::DefSubclassProc(dialog, message, wParam, lParam);
}

void TOrvoFolderDialog::NewFolderClicked()
{
    const std::wstring caption = DefaultCaption(NewFolderCaptions);
    std::wstring name;
    if (!InputQuery(m_dialog, caption, L"", name) || name.empty()) return;
    m_reopen = true;
    const std::wstring path = JoinNewFolderPath(m_lastSelection, name);
    ::SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    if (!DirectoryExists(path)) {
        m_initialized = false;
        m_pendingPath.clear();
        ShowSystemMessage(m_dialog, kErrorCannotMake);
    } else {
        m_pendingPath = path;
    }
    // Closing the dialog opens it again, on the new folder when it was made.
    ::PostMessageW(m_dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    ::PostMessageW(m_dialog, WM_KEYUP, VK_ESCAPE, 0);
}
