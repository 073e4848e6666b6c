; The Windows installer: the bundle for every user of the machine, the
; factory presets for the user who installs, an uninstaller registered with
; Add/Remove Programs. Built by cmake/WindowsInstaller.cmake, which defines
; PRODUCT, VENDOR, VERSION, URL, OUTFILE, LICENSE_FILE and FILES_NSH (the
; generated lists of what is installed and removed, ESTIMATED_SIZE_KB).
;
; Exit codes in silent mode (/S): 0 installed or removed, 2 stopped (a host
; holds the plug-in's DLL; nothing was changed).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define BUNDLE_DIR "$COMMONFILES64\VST3\${PRODUCT}.vst3"
!define DLL "${BUNDLE_DIR}\Contents\x86_64-win\${PRODUCT}.vst3"
!define PRESETS_DIR "$DOCUMENTS\VST3 Presets\${VENDOR}\${PRODUCT}"
!define APP_DIR "$PROGRAMFILES64\${VENDOR}\${PRODUCT}"
!define UNINSTALLER "${APP_DIR}\Uninstall ${PRODUCT}.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${APP_DIR}"
BrandingText "${VENDOR} ${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${VENDOR}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${VENDOR}, GPL-3.0-or-later"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_LICENSEPAGE_TEXT_TOP "${PRODUCT} is free software under the GNU General Public License, version 3 or later."
!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!include "${FILES_NSH}"

; A host that has the plug-in loaded holds the DLL open: writing to it fails.
; Stop before anything is changed rather than leave half a bundle.
!macro STOP_IF_DLL_IN_USE
  ${If} ${FileExists} "${DLL}"
    ClearErrors
    FileOpen $0 "${DLL}" a
    ${If} ${Errors}
      MessageBox MB_ICONSTOP|MB_OK "${PRODUCT} is in use: $\r$\n${DLL}$\r$\n$\r$\nClose every program that has ${PRODUCT} loaded (your DAW, a plug-in scanner) and try again. Nothing was changed." /SD IDOK
      SetErrorLevel 2
      Abort
    ${EndIf}
    FileClose $0
  ${EndIf}
!macroend

Function .onInit
  SetRegView 64
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext current
FunctionEnd

Section "Install"
  !insertmacro STOP_IF_DLL_IN_USE
  ; An earlier copy goes whole, so no file of an older version stays behind.
  RMDir /r "${BUNDLE_DIR}"
  ${If} ${FileExists} "${BUNDLE_DIR}\*.*"
    MessageBox MB_ICONSTOP|MB_OK "The earlier ${PRODUCT} in ${BUNDLE_DIR} could not be removed. Close every program that uses it and try again." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}

  !insertmacro INSTALL_BUNDLE
  !insertmacro INSTALL_PRESETS

  SetOutPath "${APP_DIR}"
  File "/oname=LICENSE.txt" "${LICENSE_FILE}"
  WriteUninstaller "${UNINSTALLER}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION} (VST 3)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${VENDOR}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${URL}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "${BUNDLE_DIR}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${UNINSTALLER}" /S'
  ; The uninstaller removes the presets from the folder they were put in,
  ; whoever runs it.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "PresetFolder" "${PRESETS_DIR}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${ESTIMATED_SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  !insertmacro STOP_IF_DLL_IN_USE
  !insertmacro REMOVE_BUNDLE

  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "PresetFolder"
  ${If} $1 == ""
    StrCpy $1 "${PRESETS_DIR}"
  ${EndIf}
  ; The factory presets by name: presets the user saved beside them stay, and
  ; so do the folders that still hold them.
  !insertmacro REMOVE_PRESETS $1
  RMDir "$1"
  RMDir "$1\.."
  RMDir "$1\..\.."

  Delete "${APP_DIR}\LICENSE.txt"
  Delete "${UNINSTALLER}"
  RMDir "${APP_DIR}"
  RMDir "$PROGRAMFILES64\${VENDOR}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
