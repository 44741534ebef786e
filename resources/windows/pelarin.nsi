; The Windows installer of Pelarin: a per-user install that needs no
; administrator, since the program writes its ledgers and screenshots into
; its own folder. Built by scripts/windows.sh:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.53 -DSTAGE=<portable folder> -DOUTFILE=<setup.exe> pelarin.nsi
; The portable folder holds bin\ (the program, the Qt and runtime DLLs and
; plugins, Qt's Korean translation), Resource\CashItems.json, licenses\ and
; the player's guide 사용법.txt.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define APPNAME "Pelarin 유틸리티"
!define MENU_FOLDER "$SMPROGRAMS\${APPNAME}"
!define GUIDE "사용법"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelarin"

Name "${APPNAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Pelarin"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
ShowInstDetails show
ShowUninstDetails show
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1042 "ProductName" "${APPNAME}"
VIAddVersionKey /LANG=1042 "FileDescription" "${APPNAME} 설치 프로그램"
VIAddVersionKey /LANG=1042 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1042 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1042 "LegalCopyright" "Pelarin"

; makensis runs in this file's folder.
!define MUI_ICON "..\pelarin.ico"
!define MUI_UNICON "..\pelarin.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\pelarin.exe"
!define MUI_FINISHPAGE_RUN_TEXT "${APPNAME} 실행"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Korean"

Section "${APPNAME}" SecMain
    SectionIn RO
    SetShellVarContext current

    ; The program: replaced on every install. What 1.53's first installers
    ; shipped and the program never loads goes.
    RMDir /r "$INSTDIR\bin\imageformats"
    Delete "$INSTDIR\bin\pelarin.ico"
    SetOutPath "$INSTDIR\bin"
    File /r "${STAGE}\bin\*.*"

    ; The catalogue only when there is none: one the player edited stays.
    SetOutPath "$INSTDIR\Resource"
    SetOverwrite off
    File "${STAGE}\Resource\CashItems.json"
    SetOverwrite on
    CreateDirectory "$INSTDIR\Resource\CustomDatas"
    CreateDirectory "$INSTDIR\Screenshot"

    SetOutPath "$INSTDIR\licenses"
    File /r "${STAGE}\licenses\*.*"
    SetOutPath "$INSTDIR"
    File "${STAGE}\${GUIDE}.txt"

    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; A Start-menu folder with the program and its guide. The program finds
    ; its catalogue from its own folder, bin\. Earlier versions put the
    ; program's entry straight into the Start menu.
    Delete "$SMPROGRAMS\${APPNAME}.lnk"
    CreateDirectory "${MENU_FOLDER}"
    SetOutPath "$INSTDIR\bin"
    CreateShortCut "${MENU_FOLDER}\${APPNAME}.lnk" "$INSTDIR\bin\pelarin.exe" "" "$INSTDIR\bin\pelarin.exe" 0
    SetOutPath "$INSTDIR"
    CreateShortCut "${MENU_FOLDER}\${GUIDE}.lnk" "$INSTDIR\${GUIDE}.txt"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APPNAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Pelarin"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\pelarin.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; Removes the program, its guide and its Start-menu folder, and leaves what
; the player made: the ledgers in Resource\CustomDatas, the pictures in
; Screenshot and the catalogue.
Section "Uninstall"
    SetShellVarContext current
    Delete "${MENU_FOLDER}\${APPNAME}.lnk"
    Delete "${MENU_FOLDER}\${GUIDE}.lnk"
    RMDir "${MENU_FOLDER}"
    Delete "$SMPROGRAMS\${APPNAME}.lnk"
    RMDir /r "$INSTDIR\bin"
    RMDir /r "$INSTDIR\licenses"
    Delete "$INSTDIR\${GUIDE}.txt"
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: folders that hold the player's files stay.
    RMDir "$INSTDIR\Resource\CustomDatas"
    RMDir "$INSTDIR\Screenshot"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
