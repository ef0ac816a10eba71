; The Russian installer of Orvex (makensis, Unicode). scripts/package.sh defines
; VERSION, VERSION4, STAGE (the packaged folder) and OUTFILE, and writes the
; lists of files it installs and removes (files.nsh, unfiles.nsh), so that the
; uninstaller removes exactly what was installed: list files and tables stay.
; The installed files have ASCII names (Guide.html, ReadMe.txt); the Start
; menu's shortcuts keep their Russian names.
Unicode true
SetCompressor /SOLID lzma
!include "MUI2.nsh"

Name "Orvex ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Orvex"
InstallDirRegKey HKLM "Software\Orvex" "InstallDir"
RequestExecutionLevel admin
BrandingText "Orvex ${VERSION}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvex"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\OrvexHost.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Guide.html"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductName" "Orvex"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileDescription" "Установка Orvex ${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "LegalCopyright" "© 2026 Orvex"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "CompanyName" "Orvex"

Section "Orvex"
  SetShellVarContext all
  !include "files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Orvex"
  CreateShortcut "$SMPROGRAMS\Orvex\Orvex — просмотр таблиц.lnk" "$INSTDIR\OrvexHost.exe"
  CreateShortcut "$SMPROGRAMS\Orvex\Руководство пользователя Orvex.lnk" "$INSTDIR\Guide.html"
  CreateShortcut "$SMPROGRAMS\Orvex\Удалить Orvex.lnk" "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "Software\Orvex" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Orvex ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Orvex"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\OrvexHost.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  !include "unfiles.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Orvex\Orvex — просмотр таблиц.lnk"
  Delete "$SMPROGRAMS\Orvex\Руководство пользователя Orvex.lnk"
  Delete "$SMPROGRAMS\Orvex\Удалить Orvex.lnk"
  RMDir "$SMPROGRAMS\Orvex"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\Orvex"
SectionEnd
