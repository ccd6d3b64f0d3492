// Writes a shell shortcut:
//   MakeShortcut <link.lnk> <target> [arguments] [description] [hotkey word] [icon file]
// Used by scripts/run for its demo data and by tests that need real shortcuts. The icon is the
// first one of the icon file.

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: MakeShortcut link.lnk target [arguments] [description] [hotkey] [icon file]\n");
        return 2;
    }
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int result = 1;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&link)))) {
        link->SetPath(argv[2]);
        if (argc > 3) link->SetArguments(argv[3]);
        if (argc > 4) link->SetDescription(argv[4]);
        if (argc > 5) link->SetHotkey(static_cast<WORD>(std::wcstoul(argv[5], nullptr, 0)));
        if (argc > 6 && argv[6][0]) link->SetIconLocation(argv[6], 0);
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Save(argv[1], TRUE))) result = 0;
            file->Release();
        }
        link->Release();
    }
    ::CoUninitialize();
    return result;
}
