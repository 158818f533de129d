; The Windows installer. windows/package.sh passes SRC (the portable
; folder), FILES (the uninstaller's list of what SRC holds), ICON and OUT.
Target amd64-unicode
!include "MUI2.nsh"

!define APP "KESTRO"
!define VERSION "3.5"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KESTRO"

Name "${APP} ${VERSION}"
OutFile "${OUT}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "${APP} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\kestro.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "Spanish"

VIProductVersion "3.5.0.0"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductName" "${APP}"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileDescription" "Instalador de ${APP} ${VERSION}"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductVersion" "${VERSION}"

; Shortcuts for every user of the computer; the agent's data lives in each
; user's own folder (or beside the program, when he put a kestro.mdb there)
; and neither the installer nor the uninstaller goes near it.
Section "KESTRO"
  SetShellVarContext all
  SetRegView 64
  SetOutPath "$INSTDIR"
  ; Everything in SRC, ossl-modules\legacy.dll (old key ciphers) included.
  File /r "${SRC}\*.*"
  WriteUninstaller "$INSTDIR\Desinstalar.exe"
  CreateShortCut "$SMPROGRAMS\${APP} ${VERSION}.lnk" "$INSTDIR\kestro.exe" "" "$INSTDIR\kestro.exe" 0
  CreateShortCut "$DESKTOP\${APP} ${VERSION}.lnk" "$INSTDIR\kestro.exe" "" "$INSTDIR\kestro.exe" 0
  ; The manual alone, without opening anyone's data.
  CreateShortCut "$SMPROGRAMS\Manual de ${APP} ${VERSION}.lnk" "$INSTDIR\kestro.exe" "--manual" "$INSTDIR\kestro.exe" 0
  ; Asks for one of the automatic copies and puts it in place of kestro.mdb.
  CreateShortCut "$SMPROGRAMS\Restaurar un respaldo de ${APP} ${VERSION}.lnk" "$INSTDIR\kestro.exe" "--restaurar" "$INSTDIR\kestro.exe" 0
  ; The list of agents even while only one is known: where a second is made.
  CreateShortCut "$SMPROGRAMS\Agentes de ${APP} ${VERSION}.lnk" "$INSTDIR\kestro.exe" "--agentes" "$INSTDIR\kestro.exe" 0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kestro.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Desinstalar.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Desinstalar.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there is removed, file by file: a kestro.mdb
; or ENVIO folder an agent keeps beside the program stays.
Section "Uninstall"
  SetShellVarContext all
  SetRegView 64
  Delete "$SMPROGRAMS\${APP} ${VERSION}.lnk"
  Delete "$SMPROGRAMS\Restaurar un respaldo de ${APP} ${VERSION}.lnk"
  Delete "$SMPROGRAMS\Agentes de ${APP} ${VERSION}.lnk"
  Delete "$SMPROGRAMS\Manual de ${APP} ${VERSION}.lnk"
  Delete "$DESKTOP\${APP} ${VERSION}.lnk"
  !include "${FILES}"
  Delete "$INSTDIR\Desinstalar.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
