; Quaffometer's installer: per user, no administrator rights. Installs into the user's own
; programs folder, adds a Start-menu shortcut and an entry in the user's installed-programs
; list, and, when chosen, a shortcut in the user's Startup folder.
;
; Built by tools/package.sh:
;   makensis -DVERSION=x.y.z -DPROGRAM=quaffometer.exe -DICON=mainicon.ico
;            -DREADME=README.md -DLICENSE=LICENSE -DOUTFILE=quaffometer-setup-x.y.z.exe
;            [-DSIGN=<command that signs the file it is given, in place>]
;
; Switches for silent installs: /S, /STARTUP=1 (start at sign-in) or /STARTUP=0, /D=<folder>.
; Uninstaller: /S keeps the settings; /S /REMOVESETTINGS=1 removes them too.

Unicode true
Target amd64-unicode  ; the program is x86_64 only
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

; Signed when make package is given a certificate: the uninstaller before it is packed, so the
; one the installer writes carries its signature, and the setup once written.
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quaffometer"
; The program's own settings, and the publisher's key above them.
!define SETTINGS_KEY "Software\Orvik\Quaffometer"
!define PUBLISHER_KEY "Software\Orvik"
!define SHORTCUT "Quaffometer.lnk"

Name "Quaffometer"
Caption "Quaffometer ${VERSION} Setup"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quaffometer"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Quaffometer ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Quaffometer"
VIAddVersionKey "CompanyName" "Orvik"
VIAddVersionKey "FileDescription" "Quaffometer Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "MIT License"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Quaffometer sits in the notification area and tells you, while a working period runs, how many drinks your pay has bought so far.$\r$\n$\r$\nIt is installed for you alone, in your own programs folder: no administrator rights are needed. Settings you have made in an earlier version are kept.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_HEADER_TEXT "Starting Quaffometer"
!define MUI_PAGE_HEADER_SUBTEXT "Choose whether Quaffometer starts by itself."
!define MUI_COMPONENTSPAGE_TEXT_TOP "Quaffometer can start by itself, in the notification area, each time you sign in to Windows. You can change this later by running Setup again."
!define MUI_COMPONENTSPAGE_SMALLDESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\quaffometer.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Quaffometer now"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; 1 when the install itself closed or ended a running Quaffometer: it is started again once
; installed. A copy the user quit while asked to retry stays quit.
Var Restart

; Asks a running Quaffometer to quit and waits for the process to end, so its file can be
; replaced or removed. The uninstaller sends WM_CLOSE to its application window, which quits
; the way its tray menu's Exit does. The installer first asks it to close for the update,
; which keeps a counting period under way for the copy started afterwards; a copy older than
; that request answers 0 and is sent WM_CLOSE. When it does not end, the installer offers to
; end it (the period is kept, as after a crash), to try again or to cancel; the uninstaller
; to try again or to cancel. A silent run gives up and ends with an error code, leaving
; everything as it was.
!macro CLOSE_RUNNING_PROGRAM un
Function ${un}CloseRunningProgram
  retry:
  FindWindow $0 "QuaffApplication" "Quaffometer"
  ${If} $0 == 0
    Return
  ${EndIf}
  DetailPrint "Asking the running Quaffometer to quit..."
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
  System::Call 'kernel32::OpenProcess(i 0x00100001, i 0, i r1) p .r2'  ; SYNCHRONIZE, PROCESS_TERMINATE
  !if "${un}" == ""
    System::Call 'user32::RegisterWindowMessageW(w "Quaffometer.CloseForUpdate") i .r4'
    ; SMTO_ABORTIFHUNG; $6 is 0 when it did not answer, $5 its answer.
    System::Call 'user32::SendMessageTimeoutW(p r0, i r4, p 0, p 0, i 2, i 5000, *p 0 r5) p .r6'
    ${If} $6 != 0
    ${AndIf} $5 != 1
      SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${EndIf}
  !else
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  !endif
  System::Call 'kernel32::WaitForSingleObject(p r2, i 15000) i .r3'  ; 0: it has ended
  !if "${un}" == ""
    ${If} $3 != 0
      MessageBox MB_YESNOCANCEL|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "Quaffometer is still running and did not quit when asked.$\r$\n$\r$\nYes: end it now. The period it is counting is kept, as after a crash, and Quaffometer resumes it once installed.$\r$\n$\r$\nNo: try again once you have quit it yourself. Its tray icon's Exit ends the period.$\r$\n$\r$\nCancel: change nothing." /SD IDCANCEL IDYES end IDNO again
      Goto closed
      end:
      DetailPrint "Ending the running Quaffometer..."
      System::Call 'kernel32::TerminateProcess(p r2, i 1)'
      System::Call 'kernel32::WaitForSingleObject(p r2, i 15000) i .r3'
    ${EndIf}
    ${If} $3 == 0
      StrCpy $Restart 1
    ${EndIf}
  !else
    ${If} $3 != 0
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Quaffometer is still running and did not quit when asked.$\r$\n$\r$\nChoose Exit in its tray icon's menu (or end it in Task Manager), then click Retry." /SD IDCANCEL IDRETRY again
    ${EndIf}
  !endif
  closed:
  System::Call 'kernel32::CloseHandle(p r2)'
  ${If} $3 == 0
    Return
  ${EndIf}
  DetailPrint "Quaffometer is still running: nothing was changed."
  SetErrorLevel 2
  Abort "Quaffometer is still running: nothing was changed."
  again:
  System::Call 'kernel32::CloseHandle(p r2)'
  Goto retry
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_PROGRAM ""
!insertmacro CLOSE_RUNNING_PROGRAM "un."

Section "Quaffometer" SecProgram
  SectionIn RO
  Call CloseRunningProgram
  SetOutPath "$INSTDIR"
  File "/oname=quaffometer.exe" "${PROGRAM}"
  File "/oname=README.md" "${README}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\quaffometer.exe"
  ; The next section puts the sign-in shortcut back when it is chosen.
  Delete "$SMSTARTUP\${SHORTCUT}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quaffometer"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Orvik"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quaffometer.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Start Quaffometer when I sign in" SecStartup
  CreateShortcut "$SMSTARTUP\${SHORTCUT}" "$INSTDIR\quaffometer.exe"
SectionEnd

; The copy the install closed runs again, resuming its counting period.
Section "-Restart"
  ${If} $Restart == 1
    Exec '"$INSTDIR\quaffometer.exe"'
  ${EndIf}
SectionEnd

; It is running already: the finish page does not offer to start a second one.
Function FinishShow
  ${If} $Restart == 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "The program, a Start-menu shortcut and an entry in Settings > Apps to remove it."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} "A shortcut in your Startup folder: Quaffometer starts in the notification area each time you sign in."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; The sign-in choice: off on a first install, as before on an update, /STARTUP=1 or 0 on the
; command line wins.
Function .onInit
  ${If} ${FileExists} "$SMSTARTUP\${SHORTCUT}"
    !insertmacro SelectSection ${SecStartup}
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/STARTUP=" $R1
  ${IfNot} ${Errors}
    ${If} $R1 == 1
      !insertmacro SelectSection ${SecStartup}
    ${Else}
      !insertmacro UnselectSection ${SecStartup}
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningProgram
  ; Only what the installer put there: the folder itself goes only when nothing else is in it.
  Delete "$INSTDIR\quaffometer.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$SMSTARTUP\${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The counting period of a copy that was killed or whose session ended goes whatever happens
  ; to the settings: a later install would resume it, however long ago it began.
  DeleteRegValue HKCU "${SETTINGS_KEY}\Settings" "PeriodStart"

  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS=" $R1
  ${If} ${Errors}
    StrCpy $R1 0
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Remove your Quaffometer settings as well (your name, salary, working hours, price of a drink, icon set and picture folder)?$\r$\n$\r$\nChoose No to keep them for a later install." /SD IDNO IDNO keep
    StrCpy $R1 1
    keep:
  ${EndIf}
  ${If} $R1 == 1
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${PUBLISHER_KEY}"
    DetailPrint "Removed the settings."
  ${Else}
    DetailPrint "Kept the settings (HKEY_CURRENT_USER\${SETTINGS_KEY})."
  ${EndIf}
SectionEnd
