; The setup program of Orvo Launcher: one program for 32- and 64-bit Windows that installs the pair
; of files that matches the system, for the current user alone, without administrator rights.
;
; makensis -DVERSION=1.2.3.4 -DSTAGE=<folder holding x86/, x64/, help/ and help.nsh> -DROOT=<checkout>
;          -DOUTFILE=<file> [-DX64_SETUP]
; X64_SETUP makes a setup program that is itself 64-bit code and carries the 64-bit pair only, for
; machines that cannot run 32-bit code; everything else is the same script.

!ifndef VERSION
  !error "VERSION (major.minor.release.build) is not defined"
!endif
!ifndef STAGE
  !error "STAGE (the folder of the payload) is not defined"
!endif
!ifndef ROOT
  !error "ROOT (the checkout) is not defined"
!endif
!ifndef OUTFILE
  !error "OUTFILE is not defined"
!endif
!searchparse /noerrors "${VERSION}" "" V_MAJOR "." V_MINOR "." V_RELEASE "." V_BUILD
!ifndef V_BUILD
  !error "VERSION must be major.minor.release.build, not ${VERSION}"
!endif

!ifdef X64_SETUP
  Target amd64-unicode
!else
  Unicode true
!endif
ManifestDPIAware true
ManifestSupportedOS all
; Per user: the program, its settings and its Run entry all belong to the current user.
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include x64.nsh
!include WinMessages.nsh
!include MUI2.nsh
; HelpPages: the names of the pages in ${STAGE}/help.
!include "${STAGE}/help.nsh"

!define PRODUCT "Orvo Launcher"
!define MAKER "Orvo Solution"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define PROGRAM_KEY "Software\${MAKER}\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_ONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define SETTINGS_FOLDER "$APPDATA\${MAKER}\${PRODUCT}"
; The main window of a running copy, as the program names it.
!define MAIN_CLASS "TOrvoLauncherClass"
!define MAIN_TITLE "${PRODUCT}"
; How long a running copy is given to end after it was asked to.
!define END_TIMEOUT_MS 15000
; The list of the files an install wrote, beside them; it also marks the folder as ours.
!define FILE_LIST "Uninstall.ini"
!define LIST_SECTION "${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the last install went (HKCU\Software is one key for 32- and 64-bit code).
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"

Var PreviousFolder
; 1 when the last install went to another folder than this one.
Var Moving
; 1 when the registry names this folder as the last install's, before this install rewrites it.
Var RegisteredBefore
; Files of this folder are never removed as files of another folder (see RemoveInstalledFile).
Var KeepFolder

; ---------------------------------------------------------------------------------------------
; Pages

!define MUI_ICON "${ROOT}/src/resources/Launcher.ico"
!define MUI_UNICON "${ROOT}/src/resources/Launcher.ico"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Setup installs ${PRODUCT} ${VERSION} for you alone; it needs no administrator rights.$\r$\n$\r$\nIf ${PRODUCT} is running from the folder you choose, Setup closes it first. Your settings and your entries are kept.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed.$\r$\n$\r$\nIt starts hidden and keeps its icon in the notification area: hover the icon for the floating window, right-click it for the menu, left-click it for the main window."
!define MUI_FINISHPAGE_RUN "$INSTDIR\Launcher.exe"
!define MUI_FINISHPAGE_RUN_TEXT "&Start ${PRODUCT}"
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "${PRODUCT} will be removed from the folder below; if it is running, it is closed first.$\r$\nYour settings and your entries are kept (unless you moved them, they are in ${SETTINGS_FOLDER})."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "${PRODUCT} is removed"
!define MUI_FINISHPAGE_TEXT "The program, its Start menu shortcut and its registry values are removed.$\r$\n$\r$\nYour settings file and your entries (the folders Icons, Menus and Floating) are kept: delete them yourself if you no longer need them. Unless you moved them, they are in$\r$\n${SETTINGS_FOLDER}"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

; The program's own version resource names no copyright either.
!pragma warning disable 9100
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"

; ---------------------------------------------------------------------------------------------
; Functions that the setup program and the uninstaller share (NSIS keeps the two apart, so each
; is made twice, once with the "un." prefix).

!macro SharedFunctions UN

; The long form of the path on the stack (the path itself when it does not exist).
Function ${UN}LongPath
  Exch $0
  Push $1
  Push $2
  System::Call 'kernel32::GetLongPathNameW(w r0, w .r1, i ${NSIS_MAX_STRLEN}) i .r2'
  ${If} $2 <> 0
  ${AndIf} $2 < ${NSIS_MAX_STRLEN}
    StrCpy $0 $1
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; The path on the stack as one spelling: full, in its long form, without a trailing backslash.
Function ${UN}NormalPath
  Exch $0
  Push $1
  Push $2
  System::Call 'kernel32::GetFullPathNameW(w r0, i ${NSIS_MAX_STRLEN}, w .r1, p 0) i .r2'
  ${If} $2 <> 0
  ${AndIf} $2 < ${NSIS_MAX_STRLEN}
    StrCpy $0 $1
  ${EndIf}
  Push $0
  Call ${UN}LongPath
  Pop $0
  StrCpy $1 $0 1 -1
  StrLen $2 $0
  ${If} $1 == "\"
  ${AndIf} $2 > 3
    StrCpy $0 $0 -1
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; The identity of the file or folder on the stack, "volume serial:index high:index low", the same
; whatever path names it (a short name, other letter case, a junction); empty when it cannot be
; opened (it does not exist, say).
Function ${UN}PathIdentity
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  ; FILE_READ_ATTRIBUTES, shared for everything, OPEN_EXISTING; a folder opens only with
  ; FILE_FLAG_BACKUP_SEMANTICS.
  System::Call 'kernel32::CreateFileW(w r0, i 0x80, i 7, p 0, i 3, i 0x02000000, p 0) p .r1'
  StrCpy $0 ""
  ${If} $1 P<> -1
  ${AndIf} $1 P<> 0
    ; BY_HANDLE_FILE_INFORMATION: thirteen DWORDs; the serial is the eighth, the index the last two.
    System::Alloc 52
    Pop $2
    System::Call 'kernel32::GetFileInformationByHandle(p r1, p r2) i .r3'
    ${If} $3 <> 0
      System::Call '*$2(i, i, i, i, i, i, i, i .r3, i, i, i, i .r4, i .r5)'
      StrCpy $0 "$3:$4:$5"
    ${EndIf}
    System::Free $2
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Whether the two paths on the stack name the same file or folder: 1 or 0 on the stack. Compared by
; identity; where either cannot be opened, by their normal spellings (letter case aside).
Function ${UN}SamePath
  Exch $0
  Exch
  Exch $1
  Push $2
  Push $3
  Push $0
  Call ${UN}PathIdentity
  Pop $2
  Push $1
  Call ${UN}PathIdentity
  Pop $3
  ${If} $2 == ""
  ${OrIf} $3 == ""
    Push $0
    Call ${UN}NormalPath
    Pop $2
    Push $1
    Call ${UN}NormalPath
    Pop $3
  ${EndIf}
  ${If} $2 == $3
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Whether the registry names the folder on the stack as where the last install went: 1 or 0.
Function ${UN}RegisteredHere
  Exch $0
  Push $1
  ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $1 == ""
    StrCpy $0 0
  ${Else}
    Push $1
    Push $0
    Call ${UN}SamePath
    Pop $0
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

; Whether the name on the stack is a plain file name, which a list of installed files may hold: 1 or
; 0. Nothing that leads out of the folder or matches several files.
Function ${UN}IsPlainName
  Exch $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 1
  ${If} $0 == ""
  ${OrIf} $0 == "."
  ${OrIf} $0 == ".."
    StrCpy $3 0
  ${EndIf}
  Push $4
  StrLen $1 $0
  IntOp $1 $1 - 1
  ${ForEach} $2 0 $1 + 1
    StrCpy $4 $0 1 $2
    ${If} $4 == "\"
    ${OrIf} $4 == "/"
    ${OrIf} $4 == ":"
    ${OrIf} $4 == "*"
    ${OrIf} $4 == "?"
      StrCpy $3 0
    ${EndIf}
  ${Next}
  StrCpy $0 $3
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Whether the name on the stack may stand in a list of installed files: 1 or 0. A plain name, or
; "help\" and a plain name (a page of the help folder beside the program).
Function ${UN}IsListedName
  Exch $0
  Push $1
  StrCpy $1 $0 5
  ${If} $1 == "help\"
    StrCpy $0 $0 "" 5
  ${EndIf}
  Push $0
  Call ${UN}IsPlainName
  Pop $0
  Pop $1
  Exch $0
FunctionEnd

; Removes the file named on the stack from the folder in $0 when it is a listed name, and not one
; that is also $KeepFolder's (the same file seen through another path). The program files may be in
; use: see RemoveProgramFile.
Function ${UN}RemoveInstalledFile
  Exch $1
  Push $2
  Push $1
  Call ${UN}IsListedName
  Pop $2
  ${If} $2 = 1
  ${AndIf} $KeepFolder != ""
    Push "$0\$1"
    Push "$KeepFolder\$1"
    Call ${UN}SamePath
    Pop $2
    IntOp $2 1 - $2
  ${EndIf}
  ${If} $2 = 1
    ${If} $1 == "Launcher.exe"
    ${OrIf} $1 == "Launcher.dll"
      Push "$0\$1"
      Call ${UN}RemoveProgramFile
    ${Else}
      Delete "$0\$1"
    ${EndIf}
  ${EndIf}
  Pop $2
  Pop $1
FunctionEnd

; Removes from a folder what an install of ours wrote there: the files its list names, or, for an
; install by an earlier setup, which kept no list, the three files that setup always wrote, but only
; where the registry named that folder (the caller says so: 1 on top of the stack, the folder below
; it). Any other file stays: the user's, or another program's.
Function ${UN}RemoveInstalledFiles
  Exch $1
  Exch
  Exch $0
  Push $2
  Push $3
  Push $4
  ReadINIStr $2 "$0\${FILE_LIST}" "${LIST_SECTION}" "Files"
  ${If} $2 != ""
    ; Only a handful of files are ever installed: a list that names more is not ours to follow.
    IntOp $2 $2 + 0
    ${IfThen} $2 > 64 ${|} StrCpy $2 64 ${|}
    ${ForEach} $3 1 $2 + 1
      ReadINIStr $4 "$0\${FILE_LIST}" "${LIST_SECTION}" "File$3"
      Push $4
      Call ${UN}RemoveInstalledFile
    ${Next}
    Delete "$0\${FILE_LIST}"
    ; Only when empty: a page of the user's own stays, and so does its folder.
    RMDir "$0\help"
    StrCpy $1 1
  ${ElseIf} $1 = 1
    Push "Launcher.exe"
    Call ${UN}RemoveInstalledFile
    Push "Launcher.dll"
    Call ${UN}RemoveInstalledFile
    Push "Uninstall.exe"
    Call ${UN}RemoveInstalledFile
  ${EndIf}
  ${If} $1 = 1
    ; Renamed out of the way by an earlier run (see RemoveProgramFile).
    Delete "$0\Launcher.exe.*.old"
    Delete "$0\Launcher.dll.*.old"
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $0
  Pop $1
FunctionEnd

; Ends the copy of the program that runs from the folder on the stack. It is asked as at the end of
; a Windows session: then it asks the user nothing (its Exit command would), gives back its hooks
; and tray icons and ends by itself. Only a copy whose program file is in that folder is asked;
; nothing is ever terminated. Leaves "ended", "none" or "running" (it did not end in time).
Function ${UN}EndRunningCopy
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  StrCpy $0 "$0\Launcher.exe"
  StrCpy $5 "none"
  StrCpy $1 0
  ${Do}
    FindWindow $1 "${MAIN_CLASS}" "${MAIN_TITLE}" "" $1
    ${If} $1 = 0
      ${ExitDo}
    ${EndIf}
    StrCpy $2 0
    System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2)'
    ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x00101000, i 0, i r2) p .r3'
    ${If} $3 P<> 0
      StrCpy $4 ""
      System::Call 'kernel32::QueryFullProcessImageNameW(p r3, i 0, w .r4, *i ${NSIS_MAX_STRLEN}) i .r6'
      ${If} $6 <> 0
        Push $4
        Push $0
        Call ${UN}SamePath
        Pop $6
      ${EndIf}
      ${If} $6 = 1
        DetailPrint "Closing the running ${PRODUCT}..."
        System::Call 'user32::SendMessageTimeoutW(p r1, i ${WM_QUERYENDSESSION}, p 0, p 1, i 2, i 5000, *p .r6)'
        System::Call 'kernel32::WaitForSingleObject(p r3, i ${END_TIMEOUT_MS}) i .r6'
        System::Call 'kernel32::CloseHandle(p r3)'
        ${If} $6 <> 0
          StrCpy $5 "running"
          ${ExitDo}
        ${EndIf}
        StrCpy $5 "ended"
        ; Its window is gone with it: look again from the first window.
        StrCpy $1 0
        ${Continue}
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r3)'
    ${EndIf}
  ${Loop}
  StrCpy $0 $5
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Whether the command line in $2 starts the program named (in quotes) in $5, whose length is $6:
; the quoted path ends the line or a blank follows it. Sets $3 to 1 or 0.
Function ${UN}StartsProgram
  Push $4
  StrCpy $3 0
  StrCpy $4 $2 $6
  ${If} $4 == $5
    StrCpy $4 $2 1 $6
    ${If} $4 == ""
    ${OrIf} $4 == " "
      StrCpy $3 1
    ${EndIf}
  ${EndIf}
  Pop $4
FunctionEnd

; Removes a program file, or, when something still holds it, renames it out of the way so a new
; one can take its place. The hook library stays loaded in other programs after the program ended,
; until they next handle a message; a file in use cannot be deleted, but it can be renamed. The
; renamed file goes with the next install or uninstall.
Function ${UN}RemoveProgramFile
  Exch $0
  Push $1
  ${If} ${FileExists} "$0"
    ClearErrors
    Delete "$0"
    ${If} ${Errors}
      ; A message for every window lets the programs that hold the library let go of it.
      System::Call 'user32::PostMessageW(p ${HWND_BROADCAST}, i ${WM_NULL}, p 0, p 0)'
      ${ForEach} $1 1 10 + 1
        Sleep 200
        ClearErrors
        Delete "$0"
        ${IfNot} ${Errors}
          ${ExitFor}
        ${EndIf}
      ${Next}
    ${EndIf}
    ${If} ${FileExists} "$0"
      StrCpy $1 1
      ${DoWhile} ${FileExists} "$0.$1.old"
        IntOp $1 $1 + 1
      ${Loop}
      ClearErrors
      Rename "$0" "$0.$1.old"
      ${If} ${Errors}
        DetailPrint "Cannot replace $0: it is in use."
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; When a renamed library is left in the folder on the stack (another program still holds it), it
; and then the folder, if that is empty, go at the next sign-in. The command is added to one that
; is already waiting, so several folders can wait at once.
Function ${UN}CleanUpAtSignIn
  Exch $0
  Push $1
  ${If} ${FileExists} "$0\Launcher.dll.*.old"
    ReadRegStr $1 HKCU "${RUN_ONCE_KEY}" "${PRODUCT} cleanup"
    ${If} $1 == ""
      StrCpy $1 '"$SYSDIR\cmd.exe" /c'
    ${Else}
      StrCpy $1 "$1 &"
    ${EndIf}
    WriteRegStr HKCU "${RUN_ONCE_KEY}" "${PRODUCT} cleanup" '$1 del /f /q "$0\Launcher.dll.*.old" & rmdir "$0"'
    DetailPrint "Launcher.dll is still in use by another program; it is removed at the next sign-in."
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

!macroend

!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."

; The 64-bit program reads and writes the 64-bit view of the registry.
!macro UseProgramRegView
!ifdef X64_SETUP
  SetRegView 64
!else
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!endif
!macroend

; Ends the copy running from FOLDER; when it does not end, offers to try again or gives up the
; whole run (a silent run gives up at once and ends with exit code 2).
!macro EndCopyOrAbort UN FOLDER
  ${Do}
    Push "${FOLDER}"
    Call ${UN}EndRunningCopy
    Pop $0
    ${If} $0 != "running"
      ${ExitDo}
    ${EndIf}
    ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is still running and did not close in time.$\r$\n$\r$\nEnd it with Exit in the menu of its tray icon, then choose Retry." /SD IDCANCEL IDCANCEL`
      Abort "${PRODUCT} is still running."
    ${EndIf}
  ${Loop}
!macroend

; The quoted program path that the Run values of a copy in FOLDER begin with, in $5, its length in $6.
!macro ProgramInQuotes UN FOLDER
  Push "${FOLDER}"
  Call ${UN}LongPath
  Pop $5
  StrCpy $5 '"$5\Launcher.exe"'
  StrLen $6 $5
!macroend

; Adds the size of FILE in bytes to VAR.
!macro AddFileSize VAR FILE
  ClearErrors
  FileOpen $4 "${FILE}" r
  ${IfNot} ${Errors}
    FileSeek $4 0 END $5
    FileClose $4
    IntOp ${VAR} ${VAR} + $5
  ${EndIf}
!macroend

; What is done with each help page (!insertmacro HelpPages ACTION).
!macro InstallHelpPage NAME
  File "${STAGE}/help/${NAME}"
!macroend
!macro AddHelpPageSize NAME
  !insertmacro AddFileSize $1 "$INSTDIR\help\${NAME}"
!macroend
; The next entry of the list of installed files (its number in $0).
!macro ListHelpPage NAME
  IntOp $0 $0 + 1
  WriteINIStr "$INSTDIR\${FILE_LIST}" "${LIST_SECTION}" "File$0" "help\${NAME}"
!macroend
; $4 := 0 when $3 names a page this install wrote.
!macro MatchHelpPage NAME
  ${If} $3 == "help\${NAME}"
    StrCpy $4 0
  ${EndIf}
!macroend

; ---------------------------------------------------------------------------------------------
; Setup

Function .onInit
  ; One setup program at a time.
  System::Call 'kernel32::CreateMutexW(p 0, i 0, w "Orvo_Launcher_Setup") p .r1 ?e'
  Pop $0
  ${If} $0 = 183
    MessageBox MB_OK|MB_ICONEXCLAMATION "Setup of ${PRODUCT} is already running." /SD IDOK
    Abort
  ${EndIf}
  !insertmacro UseProgramRegView
FunctionEnd

Section "-Program"
  ReadRegStr $PreviousFolder HKCU "${UNINSTALL_KEY}" "InstallLocation"
  Call ChooseInstallFolder
  Push $INSTDIR
  Call RegisteredHere
  Pop $RegisteredBefore
  ; The same folder may be written in many ways (a short name, other letter case, a junction):
  ; only another folder is a move.
  StrCpy $Moving 0
  ${If} $PreviousFolder != ""
  ${AndIf} $RegisteredBefore = 0
    StrCpy $Moving 1
  ${EndIf}
  !insertmacro EndCopyOrAbort "" "$INSTDIR"
  ${If} $Moving = 1
    !insertmacro EndCopyOrAbort "" "$PreviousFolder"
  ${EndIf}

  SetOutPath "$INSTDIR"
  ; What an earlier install here left, to keep in the new list what cannot be removed now.
  InitPluginsDir
  Delete "$PLUGINSDIR\former.ini"
  ${If} ${FileExists} "$INSTDIR\${FILE_LIST}"
    CopyFiles /SILENT "$INSTDIR\${FILE_LIST}" "$PLUGINSDIR\former.ini"
  ${EndIf}
  StrCpy $KeepFolder ""
  Push $INSTDIR
  Push $RegisteredBefore
  Call RemoveInstalledFiles
!ifdef X64_SETUP
  File "${STAGE}/x64/Launcher.exe"
  File "${STAGE}/x64/Launcher.dll"
!else
  ; The pair that matches the system.
  ${If} ${RunningX64}
    File "${STAGE}/x64/Launcher.exe"
    File "${STAGE}/x64/Launcher.dll"
  ${Else}
    File "${STAGE}/x86/Launcher.exe"
    File "${STAGE}/x86/Launcher.dll"
  ${EndIf}
!endif
  SetOutPath "$INSTDIR\help"
  !insertmacro HelpPages InstallHelpPage
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  Call WriteFileList

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Launcher.exe" "" "$INSTDIR\Launcher.exe" 0 \
    SW_SHOWNORMAL "" "Starts ${PRODUCT}"

  ; "Apps and features".
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Launcher.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMajor" ${V_MAJOR}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMinor" ${V_MINOR}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; Only the files installed here count: the data may live in this folder too.
  StrCpy $1 0
  !insertmacro AddFileSize $1 "$INSTDIR\Launcher.exe"
  !insertmacro AddFileSize $1 "$INSTDIR\Launcher.dll"
  !insertmacro AddFileSize $1 "$INSTDIR\Uninstall.exe"
  !insertmacro HelpPages AddHelpPageSize
  IntOp $1 $1 + 1023
  IntOp $1 $1 / 1024
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $1

  ; An earlier install in another folder: what it installed goes (its data stays where it is, and
  ; no file that is also one of this folder's), and a Run entry that started it starts this copy now.
  ${If} $Moving = 1
    StrCpy $KeepFolder $INSTDIR
    Push $PreviousFolder
    Push 1
    Call RemoveInstalledFiles
    StrCpy $KeepFolder ""
    RMDir "$PreviousFolder"
    Push $PreviousFolder
    Call CleanUpAtSignIn
    Call MoveRunEntries
  ${EndIf}
SectionEnd

; Whether the folder on the stack may take the program as it is: 1 when it is new or empty, holds
; the list of an install of ours, or is where the last install went; 0 when it holds anything else.
Function IsFolderForUs
  Exch $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 1
  FindFirst $1 $2 "$0\*.*"
  ${DoWhile} $2 != ""
    ${If} $2 != "."
    ${AndIf} $2 != ".."
      StrCpy $3 0
      ${ExitDo}
    ${EndIf}
    FindNext $1 $2
  ${Loop}
  FindClose $1
  ${If} $3 = 0
    ReadINIStr $2 "$0\${FILE_LIST}" "${LIST_SECTION}" "Files"
    ${If} $2 != ""
      StrCpy $3 1
    ${Else}
      Push $0
      Call RegisteredHere
      Pop $3
    ${EndIf}
  ${EndIf}
  StrCpy $0 $3
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; A chosen folder that holds files of another program (or of the user) gets a folder of its own
; inside it, so that none of them is overwritten now or removed by our uninstaller later. When even
; that one holds such files, setup gives up rather than guess.
Function ChooseInstallFolder
  Push $0
  Push $INSTDIR
  Call IsFolderForUs
  Pop $0
  ${If} $0 = 0
    StrCpy $0 $INSTDIR 1 -1
    ${IfThen} $0 == "\" ${|} StrCpy $INSTDIR $INSTDIR -1 ${|}
    StrCpy $INSTDIR "$INSTDIR\${PRODUCT}"
    Push $INSTDIR
    Call IsFolderForUs
    Pop $0
    ${If} $0 = 0
      MessageBox MB_OK|MB_ICONSTOP "$INSTDIR holds files of another program.$\r$\n$\r$\nChoose an empty folder for ${PRODUCT}." /SD IDOK
      Abort "$INSTDIR holds files of another program."
    ${EndIf}
    DetailPrint "The chosen folder holds other files: ${PRODUCT} goes into $INSTDIR."
  ${EndIf}
  Pop $0
FunctionEnd

; Writes the list of the files this install wrote, which the uninstaller removes and nothing else;
; a file that an earlier install here listed and that is still there (it could not be removed) is
; kept in it.
Function WriteFileList
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Delete "$INSTDIR\${FILE_LIST}"
  WriteINIStr "$INSTDIR\${FILE_LIST}" "${LIST_SECTION}" "Version" "${VERSION}"
  WriteINIStr "$INSTDIR\${FILE_LIST}" "${LIST_SECTION}" "File1" "Launcher.exe"
  WriteINIStr "$INSTDIR\${FILE_LIST}" "${LIST_SECTION}" "File2" "Launcher.dll"
  WriteINIStr "$INSTDIR\${FILE_LIST}" "${LIST_SECTION}" "File3" "Uninstall.exe"
  StrCpy $0 3
  !insertmacro HelpPages ListHelpPage
  ReadINIStr $1 "$PLUGINSDIR\former.ini" "${LIST_SECTION}" "Files"
  IntOp $1 $1 + 0
  ${IfThen} $1 > 64 ${|} StrCpy $1 64 ${|}
  ${ForEach} $2 1 $1 + 1
    ReadINIStr $3 "$PLUGINSDIR\former.ini" "${LIST_SECTION}" "File$2"
    ; Not what this install listed already.
    StrCpy $4 1
    ${If} $3 == "Launcher.exe"
    ${OrIf} $3 == "Launcher.dll"
    ${OrIf} $3 == "Uninstall.exe"
    ${OrIf} $3 == "${FILE_LIST}"
      StrCpy $4 0
    ${EndIf}
    !insertmacro HelpPages MatchHelpPage
    ${If} $4 = 1
      Push $3
      Call IsListedName
      Pop $4
      ${If} $4 = 1
      ${AndIf} ${FileExists} "$INSTDIR\$3"
        IntOp $0 $0 + 1
        WriteINIStr "$INSTDIR\${FILE_LIST}" "${LIST_SECTION}" "File$0" $3
      ${EndIf}
    ${EndIf}
  ${Next}
  WriteINIStr "$INSTDIR\${FILE_LIST}" "${LIST_SECTION}" "Files" $0
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Points the Run values that start the program in $PreviousFolder at the one in $INSTDIR; the rest
; of each command line (the settings file) stays as it is.
Function MoveRunEntries
  !insertmacro ProgramInQuotes "" "$PreviousFolder"
  StrCpy $0 0
  ${Do}
    ClearErrors
    EnumRegValue $1 HKCU "${RUN_KEY}" $0
    ${If} $1 == ""
      ${ExitDo}
    ${EndIf}
    ReadRegStr $2 HKCU "${RUN_KEY}" $1
    Call StartsProgram
    ${If} $3 = 1
      StrCpy $4 $2 "" $6
      WriteRegStr HKCU "${RUN_KEY}" $1 '"$INSTDIR\Launcher.exe"$4'
    ${EndIf}
    IntOp $0 $0 + 1
  ${Loop}
FunctionEnd

; ---------------------------------------------------------------------------------------------
; Uninstaller

Function un.onInit
  !insertmacro UseProgramRegView
FunctionEnd

Section "Uninstall"
  !insertmacro EndCopyOrAbort "un." "$INSTDIR"

  Push $INSTDIR
  Call un.RegisteredHere
  Pop $RegisteredBefore
  ; Only what this install wrote; with no list of it left only a folder the registry names is
  ; known to be ours.
  StrCpy $KeepFolder ""
  Push $INSTDIR
  Push $RegisteredBefore
  Call un.RemoveInstalledFiles
  ; Only when empty: the settings and the data may have been kept beside the program.
  RMDir "$INSTDIR"
  Push $INSTDIR
  Call un.CleanUpAtSignIn

  ; What the program and its setup wrote for this install; another install elsewhere keeps its own.
  ${If} $RegisteredBefore = 1
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegValue HKCU "${PROGRAM_KEY}" "Version"
    DeleteRegKey /ifempty HKCU "${PROGRAM_KEY}"
    DeleteRegKey /ifempty HKCU "Software\${MAKER}"
  ${EndIf}
  Call un.RemoveOwnRunEntries

  DetailPrint "Your settings file and your entries are kept (unless you moved them, in ${SETTINGS_FOLDER})."
SectionEnd

; Deletes the Run values that start the program of this folder, with or without a settings file; a
; Run value of another copy (a portable one, say) stays.
Function un.RemoveOwnRunEntries
  !insertmacro ProgramInQuotes "un." "$INSTDIR"
  StrCpy $0 0
  ${Do}
    ClearErrors
    EnumRegValue $1 HKCU "${RUN_KEY}" $0
    ${If} $1 == ""
      ${ExitDo}
    ${EndIf}
    ReadRegStr $2 HKCU "${RUN_KEY}" $1
    Call un.StartsProgram
    ${If} $3 = 1
      DeleteRegValue HKCU "${RUN_KEY}" $1
      ; The values after it moved up by one.
      ${Continue}
    ${EndIf}
    IntOp $0 $0 + 1
  ${Loop}
FunctionEnd
