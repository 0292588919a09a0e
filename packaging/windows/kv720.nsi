; The KV720 service tool's installer (makensis, built by packaging/dist.py).
;
; Installs for the current user only, without administrator rights, into the user's local
; programs folder (%LOCALAPPDATA%\Programs\KV720): the program writes KV720.ini and Backups
; beside itself, so its folder must stay writable for the fitter. The shortcuts start in that
; folder. The uninstaller removes what was installed and leaves the user's KV720.ini, Backups
; and any other file there (the folder itself then stays).
;
; Defined by the caller: VERSION (as the programs carry it), VERSION_NUMBERS (a.b.c.d), SOURCE
; (a folder with the files to install), ICON, OUTFILE.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh

!define PRODUCT "KV720 service tool"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KV720"
!define SHORTCUT "${PRODUCT}.lnk"
!define CLI_SHORTCUT "KV720 command line.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\KV720"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION_NUMBERS}"
VIFileVersion "${VERSION_NUMBERS}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "The KV720 service tool developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) the KV720 service tool developers. MIT licence."

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\User guide.txt"

!insertmacro MUI_PAGE_LICENSE "${SOURCE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Polish"
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "Lithuanian"
!insertmacro MUI_RESERVEFILE_LANGDLL

Function .onInit
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
  !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

; A running program cannot be replaced or removed: Windows keeps an exe's file in use while it
; runs. A running exe also refuses to be opened for writing, which finds the window program and
; the command line (a console program with no window of its own) alike without any plugin. The
; user is asked to close them; a silent run stops instead (exit code 2), changing nothing.
!macro REFUSE_WHILE_RUNNING UN
; $1 = "running" when $INSTDIR\$0 exists and cannot be opened for writing.
Function ${UN}IsRunning
  StrCpy $1 ""
  IfFileExists "$INSTDIR\$0" 0 done
  ClearErrors
  FileOpen $2 "$INSTDIR\$0" a
  IfErrors 0 opened
  StrCpy $1 "running"
  Goto done
  opened:
  FileClose $2
  done:
FunctionEnd

Function ${UN}RefuseWhileRunning
  check:
  StrCpy $0 "KV720.exe"
  Call ${UN}IsRunning
  StrCmp $1 "running" ask
  StrCpy $0 "kv720-cli.exe"
  Call ${UN}IsRunning
  StrCmp $1 "running" ask done
  ask:
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$0 is running from $INSTDIR.$\r$\n$\r$\nClose the KV720 service tool and every KV720 command line, then choose Retry." /SD IDCANCEL IDRETRY check
  DetailPrint "$0 is running: nothing was changed."
  Abort
  done:
FunctionEnd
!macroend
!insertmacro REFUSE_WHILE_RUNNING ""
!insertmacro REFUSE_WHILE_RUNNING "un."

; From the finish page, as from the shortcuts: started in its own folder.
Function StartProgram
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\KV720.exe"'
FunctionEnd

Section "Install"
  Call RefuseWhileRunning
  SetOutPath "$INSTDIR"
  File "${SOURCE}\KV720.exe"
  File "${SOURCE}\kv720-cli.exe"
  File "${SOURCE}\User guide.txt"
  File "${SOURCE}\LICENSE.txt"
  SetOutPath "$INSTDIR\Lang"
  File "${SOURCE}\Lang\KV720_lang.*"

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\KV720.exe" "" "$INSTDIR\KV720.exe" 0
  CreateShortCut "$DESKTOP\${SHORTCUT}" "$INSTDIR\KV720.exe" "" "$INSTDIR\KV720.exe" 0
  ; A prompt in the program's folder that first lists the serial ports with their adapters.
  CreateShortCut "$SMPROGRAMS\${CLI_SHORTCUT}" "$SYSDIR\cmd.exe" '/k kv720-cli.exe ports' \
                 "$SYSDIR\cmd.exe" 0

  ; Apps & features, for this user.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The KV720 service tool developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\KV720.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there: KV720.ini, KV720.log, Backups and the user's own files stay.
Section "Uninstall"
  Call un.RefuseWhileRunning
  Delete "$INSTDIR\KV720.exe"
  Delete "$INSTDIR\kv720-cli.exe"
  Delete "$INSTDIR\User guide.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Lang\KV720_lang.*"
  RMDir "$INSTDIR\Lang"
  Delete "$INSTDIR\Uninstall.exe"
  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$DESKTOP\${SHORTCUT}"
  Delete "$SMPROGRAMS\${CLI_SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  RMDir "$INSTDIR"
SectionEnd
