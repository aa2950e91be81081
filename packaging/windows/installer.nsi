; The installer of Korvax Rechner for Windows, in German: for the current
; user, without administrator rights, into %LOCALAPPDATA%\Programs. Built by
; the target windows_setup:
;   makensis -INPUTCHARSET UTF8 -DVERSION=<x.y.z> -DSTAGE=<the program's folder>
;            -DICON=<korvax-rechner.ico> -DOUTFILE=<setup.exe> installer.nsi
; Silent with /S (and /D=<folder> for another folder). Exit status 0 when
; installed, 1 when the player cancelled, 2 when the program ran and was not
; closed (at once in silent mode).
; The player's data folder (%APPDATA%\Korvax Rechner) is created when it is
; missing, so that the Start-menu entry can open it; its files are never
; touched, not even by the uninstaller.

Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef VERSION | STAGE | ICON | OUTFILE
  !error "VERSION, STAGE, ICON and OUTFILE must be defined (-D...)"
!endif

!define APP "Korvax Rechner"
!define EXE "korvax-rechner.exe"
!define PUBLISHER "Die Entwickler von ${APP}"
!define UNINSTALLER "Deinstallieren.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KorvaxRechner"
!define DATA "$APPDATA\${APP}"
; A Start-menu folder with the program and its data folder; older versions
; had a single link instead.
!define STARTMENU "$SMPROGRAMS\${APP}"
!define STARTMENU_LINK "${STARTMENU}\${APP}.lnk"
!define STARTMENU_DATA_LINK "${STARTMENU}\${APP} – Datenordner.lnk"
!define OLD_STARTMENU_LINK "$SMPROGRAMS\${APP}.lnk"
!define DESKTOP_LINK "$DESKTOP\${APP}.lnk"

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include WordFunc.nsh

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

; What this installer does, set in .onInit: a first installation, an update
; of an older version, the same version again or an older one over a newer.
Var Welcome

!define MUI_WELCOMEPAGE_TEXT "$Welcome$\r$\n$\r$\n${APP} arbeitet im Datenordner$\r$\n${DATA}.$\r$\nDort liegen Ihre Schiffe, Planeten und Kurse; die Installation ändert keine dieser Dateien, die Deinstallation auch nicht.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME

; The GPL needs no acceptance to use the program: it is shown for information.
!define MUI_PAGE_HEADER_TEXT "Lizenz"
!define MUI_PAGE_HEADER_SUBTEXT "${APP} ist freie Software."
!define MUI_LICENSEPAGE_TEXT_TOP "Die GNU General Public License, Version 3 oder später:"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Sie müssen nichts annehmen, um ${APP} zu benutzen. Die Lizenz erlaubt Ihnen, es weiterzugeben und zu verändern; wer es weitergibt, gibt diese Rechte mit. $_CLICK"
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\Lizenzen\Korvax-Rechner.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES

!define MUI_FINISHPAGE_TEXT "${APP} arbeitet im Datenordner$\r$\n${DATA};$\r$\nim Startmenü öffnet ihn „${APP} – Datenordner“.$\r$\n$\r$\nDie Dateien Ihres alten Rechners bringen Sie so mit: Kopieren Sie seine .dat-Dateien in den Datenordner, oder starten Sie ${APP} mit --data-folder und dem alten Ordner (mehr dazu in LIESMICH.txt)."
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_PARAMETERS "--data-folder"
!define MUI_FINISHPAGE_RUN_TEXT "${APP} starten"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\LIESMICH.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "LIESMICH.txt anzeigen"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "${APP} wird aus dem folgenden Ordner entfernt. Ihre Schiffe, Planeten und Kurse bleiben erhalten; sie liegen im Datenordner$\r$\n${DATA}."
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
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $0 == ""
    StrCpy $Welcome "Dieser Assistent installiert ${APP} ${VERSION} für Sie allein, ohne Administratorrechte, in den Ordner$\r$\n$INSTDIR."
  ${Else}
    ${VersionCompare} "$0" "${VERSION}" $1
    ${If} $1 == 2
      StrCpy $Welcome "Dieser Assistent aktualisiert das installierte ${APP} $0 auf ${VERSION}"
    ${ElseIf} $1 == 0
      StrCpy $Welcome "${APP} ${VERSION} ist schon installiert. Dieser Assistent installiert es erneut"
    ${Else}
      StrCpy $Welcome "Installiert ist das neuere ${APP} $0. Dieser Assistent ersetzt es durch ${VERSION}"
    ${EndIf}
    StrCpy $Welcome "$Welcome, für Sie allein und ohne Administratorrechte, im Ordner$\r$\n$INSTDIR."
  ${EndIf}
FunctionEnd

; The finish page's text says more than the 40 dialog units MUI leaves it
; above the check boxes: they move to the bottom of the page, and the text
; grows to 105 units. Dialog units become pixels by the text's own height.
!macro FINISH_MOVE CONTROL UNITS
  IntOp $R6 ${UNITS} - 45
  IntOp $R6 $R6 * $R5
  IntOp $R6 $R6 / 40
  IntOp $R6 $R6 + $R3
  System::Call "user32::SetWindowPos(p ${CONTROL}, p 0, i $R2, i $R6, i 0, i 0, i 0x15)"  ; SWP_NOSIZE|SWP_NOZORDER|SWP_NOACTIVATE
!macroend

Function FinishShow
  System::Call "*(i 0, i 0, i 0, i 0)p.R9"
  System::Call "user32::GetWindowRect(p $mui.FinishPage.Text, p R9)"
  System::Call "user32::MapWindowPoints(p 0, p $mui.FinishPage, p R9, i 2)"
  System::Call "*$R9(i.R2, i.R3, i.R4, i.R5)"
  System::Free $R9
  IntOp $R4 $R4 - $R2  ; 195 units wide
  IntOp $R5 $R5 - $R3  ; 40 units high
  IntOp $R6 $R5 * 105
  IntOp $R6 $R6 / 40
  System::Call "user32::SetWindowPos(p $mui.FinishPage.Text, p 0, i 0, i 0, i $R4, i $R6, i 0x16)"  ; SWP_NOMOVE|SWP_NOZORDER|SWP_NOACTIVATE
  !insertmacro FINISH_MOVE $mui.FinishPage.Run 155
  !insertmacro FINISH_MOVE $mui.FinishPage.ShowReadme 172
FunctionEnd

Section "${APP}" SecProgram
  SectionIn RO
  !insertmacro WAIT_FOR_PROGRAM "Abort"
  SetOutPath "$INSTDIR"
  File "${STAGE}\${EXE}"
  File "${STAGE}\LIESMICH.txt"
  SetOutPath "$INSTDIR\Beispieldateien"
  File "${STAGE}\Beispieldateien\*.dat"
  SetOutPath "$INSTDIR\Lizenzen"
  ; The licences of this version only.
  Delete "$INSTDIR\Lizenzen\*.txt"
  File "${STAGE}\Lizenzen\*.txt"

  ; The shortcuts start in the install folder; the program enters its data
  ; folder itself. Explorer opens only a folder that exists.
  CreateDirectory "${DATA}"
  Delete "${OLD_STARTMENU_LINK}"
  CreateDirectory "${STARTMENU}"
  SetOutPath "$INSTDIR"
  CreateShortCut "${STARTMENU_LINK}" "$INSTDIR\${EXE}" "--data-folder" "$INSTDIR\${EXE}" 0
  CreateShortCut "${STARTMENU_DATA_LINK}" "$WINDIR\explorer.exe" '"${DATA}"'
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
; install folder stay, and so does the folder then. The data folder's files
; are never touched; the folder goes only when it is empty, as the installer
; made it.
Section "Uninstall"
  !insertmacro WAIT_FOR_PROGRAM "Abort"
  Delete "${STARTMENU_LINK}"
  Delete "${STARTMENU_DATA_LINK}"
  RMDir "${STARTMENU}"
  Delete "${OLD_STARTMENU_LINK}"
  Delete "${DESKTOP_LINK}"
  RMDir "${DATA}"
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\LIESMICH.txt"
  Delete "$INSTDIR\Beispieldateien\*.dat"
  RMDir "$INSTDIR\Beispieldateien"
  Delete "$INSTDIR\Lizenzen\*.txt"
  RMDir "$INSTDIR\Lizenzen"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
