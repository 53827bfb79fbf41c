; The setup of the Ovix Pelora Tern-7 companion: a per-user install without elevation,
; log-on start of the agent, upgrade in place over running programs, and an uninstaller.
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

!if /FileExists "${DIST_DIR}\Setwell.exe"
  !define HAVE_SETWELL
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Ovix Pelora\Tern-7"
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

; Closes every window with the title on the stack (under the name below it) the way the
; programs close: WM_CLOSE, then a bounded wait for its process to end. Pushes 1 when all
; ended, 0 when one did not.
Function ${prefix}CloseProgram
  Exch $R0 ; title
  Exch
  Exch $R1 ; name shown to the user
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  StrCpy $R5 1
  ${Do}
    FindWindow $R2 "" "$R0"
    ${If} $R2 = 0
      ${Break}
    ${EndIf}
    DetailPrint "Closing $R1"
    System::Call 'user32::GetWindowThreadProcessId(p R2, *i 0 R3)'
    ; SYNCHRONIZE: enough to wait on it.
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i R3) p .R3'
    System::Call 'user32::PostMessageW(p R2, i ${WM_CLOSE}, p 0, p 0)'
    ${If} $R3 P= 0
      ; Not allowed to watch its process: wait for its window to go instead.
      StrCpy $R4 0
      ${Do}
        System::Call 'user32::IsWindow(p R2) i .R3'
        ${If} $R3 = 0
          ${Break}
        ${EndIf}
        ${If} $R4 >= ${CLOSE_WAIT_MS}
          StrCpy $R5 0
          ${Break}
        ${EndIf}
        Sleep 100
        IntOp $R4 $R4 + 100
      ${Loop}
    ${Else}
      System::Call 'kernel32::WaitForSingleObject(p R3, i ${CLOSE_WAIT_MS}) i .R4'
      System::Call 'kernel32::CloseHandle(p R3)'
      ${If} $R4 <> 0 ; not WAIT_OBJECT_0
        StrCpy $R5 0
      ${EndIf}
    ${EndIf}
    ${If} $R5 = 0
      DetailPrint "$R1 did not close."
      ${Break}
    ${EndIf}
  ${Loop}
  StrCpy $R0 $R5
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

; Closes the settings window, the agent and the tray companion (the agent closes the
; other two itself, but either may run without it). Aborts with a message when one stays.
Function ${prefix}CloseRunningPrograms
  !insertmacro CLOSE_OR_ABORT "${prefix}CloseProgram" "the settings window" "Ovix Pelora Tern-7 Gaming Mouse Driver"
  !insertmacro CLOSE_OR_ABORT "${prefix}CloseProgram" "the device agent" "Ovix Pelora Tern-7 Sentry"
  !insertmacro CLOSE_OR_ABORT "${prefix}CloseProgram" "the tray companion" "Ovix Pelora Tern-7 NotifyHost"
FunctionEnd
!macroend

!macro CLOSE_OR_ABORT function name title
  Push "${name}"
  Push "${title}"
  Call ${function}
  Pop $0
  ${If} $0 = 0
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT}: ${name} did not close within ${CLOSE_WAIT_MS} ms.$\r$\nClose it (or end it in Task Manager), then run this again. Nothing was changed." /SD IDOK
    SetErrorLevel ${EXIT_PROGRAM_STILL_RUNNING}
    Quit
  ${EndIf}
!macroend

!insertmacro DEFINE_SHARED ""
!insertmacro DEFINE_SHARED "un."

; ---------------------------------------------------------------------------------------
; What the setup installs, listed once for the copy and for the check before it.

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
  !insertmacro ${action} "uninstall.exe"
!macroend

; Appends the name to $R9 when an installed copy exists but cannot be opened for writing.
!macro CHECK_REPLACEABLE file
  Push "$INSTDIR\${file}"
  Call CheckReplaceable
!macroend

!macro INSTALL_FILE file
  !if "${file}" != "uninstall.exe"
    File "${DIST_DIR}\${file}"
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
  FindFirst $0 $1 "$INSTDIR\skins\*"
  ${DoWhile} $1 != ""
    ${If} ${FileExists} "$INSTDIR\skins\$1"
    ${AndIfNot} ${FileExists} "$INSTDIR\skins\$1\*"
      Push "$INSTDIR\skins\$1"
      Call CheckReplaceable
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0
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

Function .onInit
  SetShellVarContext current
  Call TakeSetupMutex
FunctionEnd

Section "Install"
  SetShellVarContext current
  Call CloseRunningPrograms
  Call CheckAllReplaceable

  SetOutPath "$INSTDIR"
  SetOverwrite on
  !insertmacro FOR_EACH_FILE INSTALL_FILE
  SetOutPath "$INSTDIR\skins"
  File "${DIST_DIR}\skins\*"
  SetOutPath "$INSTDIR"
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

Function un.onInit
  SetShellVarContext current
  Call un.TakeSetupMutex
FunctionEnd

Section "un.${PRODUCT}" UninstallPrograms
  SectionIn RO
  SetShellVarContext current
  Call un.CloseRunningPrograms

  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  Delete "${SHORTCUT}"
  !insertmacro FOR_EACH_FILE REMOVE_FILE
  ; Also when this build had none: an older setup may have installed it.
  Delete "$INSTDIR\Setwell.exe"
  RMDir /r "$INSTDIR\skins"
  ; Anything the user put there keeps the folder.
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Remove my settings" UninstallSettings
  RMDir /r "${SETTINGS_FOLDER}"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UninstallPrograms} "The programs, the log-on start, the Start menu shortcut and the Apps & features entry."
  !insertmacro MUI_DESCRIPTION_TEXT ${UninstallSettings} "Also delete your settings folder (${SETTINGS_FOLDER}): config.ini, macros and profiles."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
