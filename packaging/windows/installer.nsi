; The installer of Korvax Rechner for Windows, in German: for the current
; user, without administrator rights, into %LOCALAPPDATA%\Programs. Built by
; the target windows_setup:
;   makensis -INPUTCHARSET UTF8 -DVERSION=<x.y.z> -DSTAGE=<the program's folder>
;            -DICON=<korvax-rechner.ico> -DOUTFILE=<setup.exe> installer.nsi
; Silent with /S (and /D=<folder> for another folder). Exit status 0 when
; installed, 1 when the player cancelled, 2 when the program ran and was not
; closed (at once in silent mode).
; The player's data folder (%APPDATA%\Korvax Rechner) is never touched, not
; even by the uninstaller.

Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef VERSION | STAGE | ICON | OUTFILE
  !error "VERSION, STAGE, ICON and OUTFILE must be defined (-D...)"
!endif

!define APP "Korvax Rechner"
!define EXE "korvax-rechner.exe"
!define PUBLISHER "Korvax Rechner developers"
!define UNINSTALLER "Deinstallieren.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KorvaxRechner"
!define STARTMENU_LINK "$SMPROGRAMS\${APP}.lnk"
!define DESKTOP_LINK "$DESKTOP\${APP}.lnk"

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
; Installing over an older version goes to where that one is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all
BrandingText "${APP} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\Lizenzen\Korvax-Rechner.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_PARAMETERS "--data-folder"
!define MUI_FINISHPAGE_RUN_TEXT "${APP} starten"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "German"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductName" "${APP}"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileDescription" "${APP} ${VERSION} – Installation"
VIAddVersionKey /LANG=${LANG_GERMAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_GERMAN} "LegalCopyright" "GPL-3.0-or-later"

; A running program holds its exe: Windows lets nobody write to it. Until it
; ends, the installer and the uninstaller ask the player to close it (Retry)
; or stop (Cancel), before they change anything; in silent mode they stop at
; once. Checked at the start, for the folder of an earlier installation, and
; again right before the files are written (another folder chosen, or the
; program started meanwhile). STOP is how to stop there: Quit at the start,
; Abort in a section (both end with status 2).
!macro WAIT_FOR_PROGRAM STOP
  ${Do}
    ClearErrors
    ${IfNot} ${FileExists} "$INSTDIR\${EXE}"
      ${Break}
    ${EndIf}
    FileOpen $0 "$INSTDIR\${EXE}" a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${APP} läuft noch.$\r$\n$\r$\nBitte beenden Sie ${APP} (schließen Sie das Hauptmenü) und klicken Sie dann auf „Wiederholen“." \
      /SD IDCANCEL IDRETRY +3
    SetErrorLevel 2
    ${STOP}
  ${Loop}
!macroend

Function .onInit
  SetShellVarContext current
  !insertmacro WAIT_FOR_PROGRAM Quit
FunctionEnd

Section "${APP}" SecProgram
  SectionIn RO
  !insertmacro WAIT_FOR_PROGRAM "Abort"
  SetOutPath "$INSTDIR"
  File "${STAGE}\${EXE}"
  SetOutPath "$INSTDIR\Beispieldateien"
  File "${STAGE}\Beispieldateien\*.dat"
  SetOutPath "$INSTDIR\Lizenzen"
  ; The licences of this version only.
  Delete "$INSTDIR\Lizenzen\*.txt"
  File "${STAGE}\Lizenzen\*.txt"

  ; The shortcuts start in the install folder; the program enters its data
  ; folder itself.
  SetOutPath "$INSTDIR"
  CreateShortCut "${STARTMENU_LINK}" "$INSTDIR\${EXE}" "--data-folder" "$INSTDIR\${EXE}" 0
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Verknüpfung auf dem Desktop" SecDesktop
  SetOutPath "$INSTDIR"
  CreateShortCut "${DESKTOP_LINK}" "$INSTDIR\${EXE}" "--data-folder" "$INSTDIR\${EXE}" 0
SectionEnd

Function un.onInit
  SetShellVarContext current
  !insertmacro WAIT_FOR_PROGRAM Quit
FunctionEnd

; Only what the installer put there goes: files the player keeps in the
; install folder stay, and so does the folder then. The data folder is never
; touched.
Section "Uninstall"
  !insertmacro WAIT_FOR_PROGRAM "Abort"
  Delete "${STARTMENU_LINK}"
  Delete "${DESKTOP_LINK}"
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\Beispieldateien\*.dat"
  RMDir "$INSTDIR\Beispieldateien"
  Delete "$INSTDIR\Lizenzen\*.txt"
  RMDir "$INSTDIR\Lizenzen"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
