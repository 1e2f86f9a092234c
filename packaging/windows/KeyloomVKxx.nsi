; The Windows installer, made by make-installer.sh from the program folder that is zipped too.
; It installs for the current user (no administrator rights): the program folder under
; %LOCALAPPDATA%\Programs, a Start-menu entry, optionally a desktop icon, the .ckd association and
; the entry in the list of installed programs, all under HKEY_CURRENT_USER. The uninstaller
; removes exactly the files it installed, so the user's files - the documents area under
; Documents, and anything put into the program folder - stay.
;
; Defines from make-installer.sh: VERSION, OUTFILE, ICON, INSTALL_FILES and UNINSTALL_FILES (the
; File and Delete lines of the program folder).

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!define PRODUCT "KeyloomVKxx"
!define PUBLISHER "Quorvane"
!define PROGRAM "KeyloomVKxx.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define PROGID "KeyloomVKxx.ckd"
!define CLASSES "Software\Classes"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An installed copy is upgraded where it is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Tells Explorer that file associations changed, so .ckd files show the new icon at once.
!macro AssociationsChanged
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!macroend

Section "${PRODUCT}" SectionProgram
  SectionIn RO
  SetShellVarContext current

  ; Over an installed copy, its own uninstaller first removes the files of the old version, so
  ; none of them is left behind; it runs in place (_?=) so that it is waited for.
  ${If} ${FileExists} "$INSTDIR\${UNINSTALLER}"
    ExecWait '"$INSTDIR\${UNINSTALLER}" /S _?=$INSTDIR'
  ${EndIf}

  !include "${INSTALL_FILES}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0

  WriteRegStr HKCU "${CLASSES}\.ckd" "" "${PROGID}"
  WriteRegStr HKCU "${CLASSES}\.ckd\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "${PRODUCT} key definition file"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\${PROGRAM},0"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\${PROGRAM}" "%1"'
  !insertmacro AssociationsChanged

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Desktop icon" SectionDesktop
  SetShellVarContext current
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$DESKTOP\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  ; .ckd files go back to whatever opened them before, unless another program took them since.
  ReadRegStr $0 HKCU "${CLASSES}\.ckd" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue HKCU "${CLASSES}\.ckd" ""
  ${EndIf}
  DeleteRegValue HKCU "${CLASSES}\.ckd\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\.ckd\OpenWithProgids"
  DeleteRegKey /ifempty HKCU "${CLASSES}\.ckd"
  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  !insertmacro AssociationsChanged
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; Only what was installed; a folder goes only when nothing else is left in it.
  !include "${UNINSTALL_FILES}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
SectionEnd
