; Pentrax2-setup.exe, made by NSIS's makensis (app/CMakeLists.txt passes the
; defines): installs Pentrax2.exe and its console program Pentrax2.com for
; the current user only, without administrator rights, in the user's own
; programs folder (%LOCALAPPDATA%\Programs\Pentrax 2), with a Start-menu
; shortcut and an uninstaller listed among the user's installed programs.
;
; The uninstaller keeps the user's settings (HKCU\Software\Pentrax2) unless
; its "Your settings" option is ticked, or, run silently (Uninstall.exe /S),
; unless /REMOVESETTINGS is given too.
;
;   makensis -DVERSION=2.2.1 -DEXE=Pentrax2.exe -DCOM=Pentrax2.com
;            -DICON=pentrax2.ico -DOUTFILE=Pentrax2-setup.exe Pentrax2.nsi

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include FileFunc.nsh
!include LogicLib.nsh
!include MUI2.nsh
!include Sections.nsh

!define NAME "Pentrax 2"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pentrax2"
!define SETTINGS_KEY "Software\Pentrax2"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${NAME}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${NAME} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${NAME}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${NAME} setup"
VIAddVersionKey "CompanyName" "Pentrax developers"
VIAddVersionKey "LegalCopyright" "2026 Pentrax developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Pentrax2.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!define MUI_COMPONENTSPAGE_TEXT_TOP "${NAME} will be removed. Your settings (your choices and the window's position) stay for a later install unless you tick them."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "${NAME}"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "/oname=Pentrax2.exe" "${EXE}"
  File "/oname=Pentrax2.com" "${COM}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\Pentrax2.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Pentrax developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "https://pentrax.dev/"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Pentrax2.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "un.${NAME}"
  SectionIn RO
  SetShellVarContext current
  Delete "$SMPROGRAMS\${NAME}.lnk"
  Delete "$INSTDIR\Pentrax2.exe"
  Delete "$INSTDIR\Pentrax2.com"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

Section /o "un.Your settings" SettingsSection
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

; Last: the program leaves the list of installed programs once the
; uninstaller is done.
Section "-un.Entry"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SettingsSection}
  ${EndIf}
FunctionEnd
