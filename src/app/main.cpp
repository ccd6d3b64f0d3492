// The program entry.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/ApplicationWindow.h"
#include "app/Commands.h"
#include "app/LauncherMainUnit.h"
#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "base/ErrorReport.h"
#include "base/LauncherError.h"
#include "base/OsVersion.h"
#include "components/HintShadow.h"
#include "groups/StartGroupCommand.h"

namespace {
int RunMessageLoop(HWND mainWindow)
{
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Keyboard navigation of the main window's controls.
        if (::IsWindowVisible(mainWindow) && ::IsDialogMessageW(mainWindow, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    SetErrorBoxCaption(kProgramTitle);

    // "/group NAME" names a start group to run; every other argument is the program's as before.
    const StartArguments arguments = SplitGroupArgument(ProcessArguments());

    // 1. One instance per session; a second start hands its group to the running copy.
    SingleInstance instance;
    if (instance.CheckAlreadyRunning(kProgramTitle, arguments.group)) return 0;

    // 2. The application object: controls, COM for the life of the program.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                                        ICC_PAGESCROLLER_CLASS | ICC_HOTKEY_CLASS};
    ::InitCommonControlsEx(&controls);
    // Every hint of the program uses our hint window class.
    try {
        TShadowedHintWindow::RegisterHintClass(CurrentOsVersion());
    } catch (const LauncherError&) {
    }
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    int exitCode = 0;
    try {
        // 3-5. The hidden application window without a taskbar button.
        ApplicationWindow application;
        application.Create(kProgramTitle);
        application.SetResidentStyle();
        application.Hide();

        // 6. The main window; its creation runs the rest of the start-up.
        TOrvoLauncherClass mainWindow(application, arguments.rest);
        mainWindow.Create();

        // 7. The floating window; 8. the three collections.
        mainWindow.CreateIconWindow();
        mainWindow.LoadCollections();
        // 9. The hotkey list file.
        try {
            mainWindow.WriteHotKeysFile();
        } catch (...) {
            // The list of hotkeys is a by-product: the program runs on without it.
            ShowCurrentException();
        }
        // 10. The three folders are watched.
        mainWindow.StartWatchingFolders();
        // 11. The main tray icon as configured.
        mainWindow.ApplyMainIcon();
        // 12.
        application.Hide();
        // The group the command line names, else the first one that runs when the program starts.
        mainWindow.RunStartUpGroup(arguments.group);
        // 13.
        exitCode = RunMessageLoop(mainWindow.Handle());
        mainWindow.Destroy();
    } catch (...) {
        // Start-up itself failed (a window or a page could not be made): say why before ending.
        ShowCurrentException();
        exitCode = 1;
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return exitCode;
}
