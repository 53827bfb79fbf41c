; The setup of the Ovix Pelora Tern-7 companion: a per-user install without elevation,
; log-on start of the agent, upgrade in place over running programs, and an uninstaller.
; It writes only into a folder of its own, and the uninstaller removes only what this
; install put there.
;
; Built by the windows preset's "setup" target:
;   makensis -DVERSION=1.0 -DFILE_VERSION=1.0.0.0 -DDIST_DIR=<install folder>
;            -DICON=<icon> -DOUTFILE=<setup.exe> Tern7Setup.nsi

Unicode true
Target amd64-unicode

!ifndef VERSION | FILE_VERSION | DIST_DIR | ICON | OUTFILE
  !error "Define VERSION, FILE_VERSION, DIST_DIR, ICON and OUTFILE"
!endif

!define PRODUCT "Ovix Pelora Tern-7"
!define PUBLISHER "Ovix"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Ovix Pelora Tern-7"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\OvixPeloraTern7"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define DEFAULT_INSTDIR "$LOCALAPPDATA\Programs\Ovix Pelora\Tern-7"
; Left in the install folder: what makes a folder an install of ours, and its version.
!define MARKER "Tern7Install.ini"
; The user's settings, which only the uninstaller's opt-in removes.
!define SETTINGS_FOLDER "$APPDATA\Pelora Tern-7"
; Setup and uninstall share it: neither may run beside another.
!define SETUP_MUTEX "OvixPeloraTern7Setup"
; The agent alone spends a second in its shutdown; this leaves room for a slow machine.
!define CLOSE_WAIT_MS 15000

; Exit codes besides NSIS's own (1: cancelled, 2: aborted).
!define EXIT_ALREADY_RUNNING 3
!define EXIT_PROGRAM_STILL_RUNNING 4
!define EXIT_FILE_IN_USE 5
!define EXIT_FOLDER_NOT_OURS 6
!define EXIT_ELEVATED 7
!define EXIT_NEWER_INSTALLED 8

!if /FileExists "${DIST_DIR}\Setwell.exe"
  !define HAVE_SETWELL
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include WordFunc.nsh
!include Sections.nsh
!include Win\WinNT.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "${DEFAULT_INSTDIR}"
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
; Drawn by art/make-wizard-image.sh.
!define MUI_WELCOMEFINISHPAGE_BITMAP "${__FILEDIR__}\art\wizard.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${__FILEDIR__}\art\wizard.bmp"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION} for your user account and start its device agent at every log-on.$\r$\n$\r$\nIf the companion is running, Setup closes it, replaces its files and starts it again. Your settings are kept.$\r$\n$\r$\nClick Install to continue."
!define MUI_FINISHPAGE_TEXT "${PRODUCT} ${VERSION} is installed. The device agent is running and will start again at your next log-on."
; Stay on the list of what was done until the user goes on.
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_UNFINISHPAGE_NOAUTOCLOSE
!define MUI_COMPONENTSPAGE_SMALLDESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "The programs are always removed. Your settings stay unless you tick the box."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

; ---------------------------------------------------------------------------------------
; Shared by setup and uninstaller (NSIS needs each function twice, once with "un.").

!macro DEFINE_SHARED prefix
; Refuses to run beside another setup or uninstall. The mutex lives as long as the process.
Function ${prefix}TakeSetupMutex
  System::Call 'kernel32::CreateMutexW(p 0, i 0, w "${SETUP_MUTEX}") p .r0 ?e'
  Pop $1
  ${If} $1 = 183 ; ERROR_ALREADY_EXISTS
    MessageBox MB_OK|MB_ICONEXCLAMATION "Another ${PRODUCT} setup or uninstall is already running.$\r$\nLet it finish, then try again." /SD IDOK
    SetErrorLevel ${EXIT_ALREADY_RUNNING}
    Quit
  ${EndIf}
FunctionEnd

; Closes the windows titled as on the stack whose process runs the program named below
; it from the install folder, the way the programs close: WM_CLOSE, then a bounded wait
; for the process to end. A window of another program with the same title (File Explorer
; showing a folder of that name) is neither closed nor waited for. Pushes 1 when all of
; ours ended, 0 when one did not.
Function ${prefix}CloseProgram
  Exch $R0 ; title
  Exch
  Exch $R1 ; program file name
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  StrCpy $R5 1
  StrCpy $R6 0 ; the window after which the search goes on
  ${Do}
    FindWindow $R2 "" "$R0" "" $R6
    ${If} $R2 = 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p R2, *i 0 R3)'
    ; PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE: its program, and to wait on it.
    System::Call 'kernel32::OpenProcess(i 0x00101000, i 0, i R3) p .R3'
    StrCpy $R4 ""
    ${If} $R3 P<> 0
      System::Call 'kernel32::QueryFullProcessImageNameW(p R3, i 0, w .R4, *i ${NSIS_MAX_STRLEN})'
    ${EndIf}
    ${If} $R4 != "$INSTDIR\$R1"
      ${If} $R3 P<> 0
        System::Call 'kernel32::CloseHandle(p R3)'
      ${EndIf}
      StrCpy $R6 $R2
      ${Continue}
    ${EndIf}
    DetailPrint "Closing $R1"
    System::Call 'user32::PostMessageW(p R2, i ${WM_CLOSE}, p 0, p 0)'
    System::Call 'kernel32::WaitForSingleObject(p R3, i ${CLOSE_WAIT_MS}) i .R4'
    System::Call 'kernel32::CloseHandle(p R3)'
    ${If} $R4 <> 0 ; not WAIT_OBJECT_0
      DetailPrint "$R1 did not close."
      StrCpy $R5 0
      ${Break}
    ${EndIf}
    ; The list of windows changed: search it again from the start.
    StrCpy $R6 0
  ${Loop}
  StrCpy $R0 $R5
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

; Closes the settings window, the agent and the tray companion (the agent closes the
; other two itself, but either may run without it).
Function ${prefix}CloseRunningPrograms
  !insertmacro CLOSE_OR_ASK "${prefix}CloseProgram" "the settings window" "Ovix Pelora Tern-7 Gaming Mouse Driver" "Setwell.exe"
  !insertmacro CLOSE_OR_ASK "${prefix}CloseProgram" "the device agent" "Ovix Pelora Tern-7 Sentry" "hid.exe"
  !insertmacro CLOSE_OR_ASK "${prefix}CloseProgram" "the tray companion" "Ovix Pelora Tern-7 NotifyHost" "notifyhost.exe"
FunctionEnd
!macroend

; A program that does not close may be asking the user something (the settings window
; asks whether to apply changes): the wizard names its window and offers Retry; Cancel,
; and a silent run, stop with nothing changed.
!macro CLOSE_OR_ASK function name title program
  ${Do}
    Push "${program}"
    Push "${title}"
    Call ${function}
    Pop $0
    ${If} $0 = 1
      ${Break}
    ${EndIf}
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT}: ${name} did not close. Its window $\"${title}$\" may be asking you something, such as whether to apply changes.$\r$\n$\r$\nAnswer it or close that window, then click Retry. Cancel leaves everything as it was." /SD IDCANCEL IDRETRY`
      SetErrorLevel ${EXIT_PROGRAM_STILL_RUNNING}
      Quit
    ${EndIf}
  ${Loop}
!macroend

!insertmacro DEFINE_SHARED ""
!insertmacro DEFINE_SHARED "un."

; ---------------------------------------------------------------------------------------
; What the setup installs, listed once for the copy, the check before it and the removal.

!macro FOR_EACH_FILE action
  !insertmacro ${action} "hid.exe"
  !insertmacro ${action} "notifyhost.exe"
  !insertmacro ${action} "OSD.exe"
  !insertmacro ${action} "tern7ctl.exe"
  !insertmacro ${action} "HidDevice.dll"
  !ifdef HAVE_SETWELL
    !insertmacro ${action} "Setwell.exe"
  !endif
  !insertmacro ${action} "config.ini"
  !insertmacro ${action} "macrolist.ini"
  !insertmacro ${action} "skins\string_notifyhost.ini"
  !insertmacro ${action} "skins\updatebar_Mask.BMP"
  !insertmacro ${action} "skins\updatebar_n.jpg"
  !insertmacro ${action} "skins\updatebar_o.jpg"
  !insertmacro ${action} "uninstall.exe"
!macroend

; Appends the name to $R9 when an installed copy exists but cannot be opened for writing.
!macro CHECK_REPLACEABLE file
  Push "$INSTDIR\${file}"
  Call CheckReplaceable
!macroend

!macro INSTALL_FILE file
  !if "${file}" != "uninstall.exe"
    File "/oname=${file}" "${DIST_DIR}\${file}"
  !endif
!macroend

!macro REMOVE_FILE file
  Delete "$INSTDIR\${file}"
!macroend

Function CheckReplaceable
  Exch $0
  Push $1
  ${If} ${FileExists} "$0"
    ClearErrors
    FileOpen $1 "$0" a
    ${If} ${Errors}
      StrCpy $R9 "$R9$\r$\n$0"
    ${Else}
      FileClose $1
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; An upgrade replaces every file or none: a file still held open stops it before the
; first one is written, so the old version keeps working.
Function CheckAllReplaceable
  StrCpy $R9 ""
  !insertmacro FOR_EACH_FILE CHECK_REPLACEABLE
  ${If} $R9 != ""
    MessageBox MB_OK|MB_ICONSTOP "These files are in use by another program and cannot be replaced:$R9$\r$\n$\r$\nClose that program and run Setup again. The installed version was left as it was." /SD IDOK
    ; It was closed for the upgrade; the old version goes on as before.
    ${If} ${FileExists} "$INSTDIR\hid.exe"
      SetOutPath "$INSTDIR"
      Exec '"$INSTDIR\hid.exe"'
    ${EndIf}
    SetErrorLevel ${EXIT_FILE_IN_USE}
    Quit
  ${EndIf}
FunctionEnd

; A per-user install run elevated would start the agent elevated, and the agent starts
; programs from a folder the user can write to and from config.ini. Only the elevated
; half of an administrator's token is refused: where UAC is off, every program of that
; user runs with those rights anyway.
Function RefuseElevated
  System::Call 'advapi32::OpenProcessToken(p -1, i 0x0008, *p .r0) i .r1' ; TOKEN_QUERY
  ${If} $1 = 0
    Return
  ${EndIf}
  System::Call 'advapi32::GetTokenInformation(p r0, i 18, *i .r2, i 4, *i .r3) i .r1' ; TokenElevationType
  System::Call 'kernel32::CloseHandle(p r0)'
  ${If} $1 <> 0
  ${AndIf} $2 = 2 ; TokenElevationTypeFull
    MessageBox MB_OK|MB_ICONSTOP "Setup was started as administrator.$\r$\n$\r$\n${PRODUCT} installs for your own user account, and its device agent must run with your own rights. Run Setup again normally, without $\"Run as administrator$\". Nothing was changed." /SD IDOK
    SetErrorLevel ${EXIT_ELEVATED}
    Quit
  ${EndIf}
FunctionEnd

Var InstalledVersion

; Writes only into a folder that is absent, empty, or an earlier install of ours: known
; by the marker it holds, or, for installs made before the marker, by the Apps & features
; entry that names it. Sets InstalledVersion for such an install.
Function RefuseForeignFolder
  StrCpy $InstalledVersion ""
  ReadINIStr $0 "$INSTDIR\${MARKER}" "Install" "Product"
  ${If} $0 == "${PRODUCT}"
    ReadINIStr $InstalledVersion "$INSTDIR\${MARKER}" "Install" "Version"
    Return
  ${EndIf}
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
  ${AndIf} ${FileExists} "$INSTDIR\uninstall.exe"
    ReadRegStr $InstalledVersion HKCU "${UNINSTALL_KEY}" "DisplayVersion"
    Return
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\*"
    ${DirState} "$INSTDIR" $0
    ${If} $0 = 0 ; empty
      Return
    ${EndIf}
  ${ElseIfNot} ${FileExists} "$INSTDIR"
    Return
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP "Setup installs only into an empty folder or over an earlier install of ${PRODUCT}, and this folder holds other files:$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nRun Setup again with an empty or new folder after /D=, or without /D= to install in the usual place. Nothing was changed." /SD IDOK
  SetErrorLevel ${EXIT_FOLDER_NOT_OURS}
  Quit
FunctionEnd

Function AskBeforeDowngrade
  ${If} $InstalledVersion == ""
    Return
  ${EndIf}
  ${VersionCompare} "$InstalledVersion" "${VERSION}" $0
  ${If} $0 = 1 ; the installed one is newer
    ${IfNot} ${Cmd} `MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "${PRODUCT} $InstalledVersion is installed, which is newer than this setup's version ${VERSION}.$\r$\n$\r$\nReplace it with the older version ${VERSION}?" /SD IDNO IDYES`
      SetErrorLevel ${EXIT_NEWER_INSTALLED}
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function .onInit
  SetShellVarContext current
  Call TakeSetupMutex
  Call RefuseElevated
  Call RefuseForeignFolder
  Call AskBeforeDowngrade
FunctionEnd

Section "Install"
  SetShellVarContext current
  Call CloseRunningPrograms
  Call CheckAllReplaceable

  ; First, so that a copy cut short still leaves a folder that a new run may complete.
  CreateDirectory "$INSTDIR\skins"
  WriteINIStr "$INSTDIR\${MARKER}" "Install" "Product" "${PRODUCT}"
  WriteINIStr "$INSTDIR\${MARKER}" "Install" "Version" "${VERSION}"
  SetOutPath "$INSTDIR"
  SetOverwrite on
  !insertmacro FOR_EACH_FILE INSTALL_FILE
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\hid.exe"'

  !ifdef HAVE_SETWELL
    CreateShortcut "${SHORTCUT}" "$INSTDIR\Setwell.exe" "" "$INSTDIR\Setwell.exe" 0
  !else
    ; No settings window yet: the shortcut opens the program folder.
    CreateShortcut "${SHORTCUT}" "$INSTDIR"
  !endif

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\notifyhost.exe",0'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; The agent starts the tray companion itself when the mouse is there.
  DetailPrint "Starting the device agent"
  Exec '"$INSTDIR\hid.exe"'
SectionEnd

; ---------------------------------------------------------------------------------------

; Where the Start menu shortcut points, or "" when it cannot be read (IShellLinkW and
; IPersistFile by their vtable slots; the setup has COM initialised).
Function un.ShortcutTarget
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 ""
  System::Call 'ole32::CoCreateInstance(g "{00021401-0000-0000-C000-000000000046}", p 0, i 1, g "{000214F9-0000-0000-C000-000000000046}", *p .r1) i .r0'
  ${If} $0 = 0
    System::Call '$1->0(g "{0000010b-0000-0000-C000-000000000046}", *p .r2) i .r0' ; QueryInterface
    ${If} $0 = 0
      System::Call '$2->5(w "${SHORTCUT}", i 0) i .r0' ; IPersistFile::Load
      ${If} $0 = 0
        System::Call '$1->3(w .r3, i ${NSIS_MAX_STRLEN}, p 0, i 0) i .r0' ; IShellLinkW::GetPath
        ${If} $0 <> 0
          StrCpy $3 ""
        ${EndIf}
      ${EndIf}
      System::Call '$2->2()' ; Release
    ${EndIf}
    System::Call '$1->2()'
  ${EndIf}
  Exch $3
  Exch
  Pop $2
  Exch
  Pop $1
  Exch
  Pop $0
FunctionEnd

; Removes a folder and what it holds without passing through a link (a junction or a
; symbolic link): a link is removed as a link, and its target keeps its contents.
Function un.RemoveFolderWithoutLinks
  Exch $R0 ; folder
  Push $R1
  Push $R2
  Push $R3
  System::Call 'kernel32::GetFileAttributesW(w R0) i .R3'
  ${If} $R3 = -1
    ; Nothing there.
  ${ElseIf} $R3 & ${FILE_ATTRIBUTE_REPARSE_POINT}
    ; The folder itself is a link.
    System::Call 'kernel32::RemoveDirectoryW(w R0)'
  ${Else}
    FindFirst $R1 $R2 "$R0\*"
    ${DoWhile} $R2 != ""
      ${If} $R2 != "."
      ${AndIf} $R2 != ".."
        System::Call 'kernel32::GetFileAttributesW(w "$R0\$R2") i .R3'
        ${If} $R3 = -1
          ; Gone meanwhile.
        ${ElseIf} $R3 & ${FILE_ATTRIBUTE_REPARSE_POINT}
          ${If} $R3 & ${FILE_ATTRIBUTE_DIRECTORY}
            System::Call 'kernel32::RemoveDirectoryW(w "$R0\$R2")'
          ${Else}
            System::Call 'kernel32::DeleteFileW(w "$R0\$R2")'
          ${EndIf}
        ${ElseIf} $R3 & ${FILE_ATTRIBUTE_DIRECTORY}
          Push "$R0\$R2"
          Call un.RemoveFolderWithoutLinks
        ${Else}
          Delete "$R0\$R2"
        ${EndIf}
      ${EndIf}
      FindNext $R1 $R2
    ${Loop}
    FindClose $R1
    RMDir "$R0"
  ${EndIf}
  Pop $R3
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

Section "un.${PRODUCT}" UninstallPrograms
  SectionIn RO
  SetShellVarContext current
  Call un.CloseRunningPrograms

  ; Another copy's log-on start, shortcut and entry stay: only those naming this install go.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == '"$INSTDIR\hid.exe"'
  ${OrIf} $0 == "$INSTDIR\hid.exe"
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  Call un.ShortcutTarget
  Pop $0
  ${If} $0 == "$INSTDIR\Setwell.exe"
  ${OrIf} $0 == "$INSTDIR"
    Delete "${SHORTCUT}"
  ${EndIf}

  ; Only the files this setup installs, by name; a folder goes only once it is empty.
  !insertmacro FOR_EACH_FILE REMOVE_FILE
  ; Also when this build had none: an older setup may have installed it.
  Delete "$INSTDIR\Setwell.exe"
  RMDir "$INSTDIR\skins"
  Delete "$INSTDIR\${MARKER}"
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\*"
    ; Kept for files that are not ours; the marker keeps it open to a later install.
    WriteINIStr "$INSTDIR\${MARKER}" "Install" "Product" "${PRODUCT}"
  ${ElseIf} $INSTDIR == "${DEFAULT_INSTDIR}"
    ; The vendor folder above the usual place; a folder above one chosen with /D= is not ours.
    RMDir "$INSTDIR\.."
  ${EndIf}

  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd

Section /o "un.Remove my settings" UninstallSettings
  Push "${SETTINGS_FOLDER}"
  Call un.RemoveFolderWithoutLinks
SectionEnd

; After the sections, whose numbers it needs. /RemoveSettings ticks "Remove my settings",
; for a silent uninstall too.
Function un.onInit
  SetShellVarContext current
  Call un.TakeSetupMutex
  ${GetOptions} $CMDLINE "/RemoveSettings" $0
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${UninstallSettings}
  ${EndIf}
FunctionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UninstallPrograms} "The programs, the log-on start, the Start menu shortcut and the Apps & features entry."
  !insertmacro MUI_DESCRIPTION_TEXT ${UninstallSettings} "Also delete your settings folder (${SETTINGS_FOLDER}): config.ini, macros and profiles."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
