; The installer: for the current user, without administrator rights (school
; PCs seldom grant them). The teacher's roll book, settings and draw record
; in the program folder are never replaced by a new install nor removed by
; the uninstaller: it deletes only the files it installed.
;   makensis -DSRCDIR=<folder> -DOUTFILE=<setup.exe> -DFILES=<files.nsh> -DICON=<ico> zelvano.nsi
Unicode true
; A 64-bit installer for the 64-bit program (Windows 10 and 11, x64); it
; also runs where no 32-bit layer is installed.
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define APPNAME "Zelvano"
!define VERSION "6.0"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelvano"

Name "${APPNAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Zelvano"
InstallDirRegKey HKCU "Software\Zelvano" "InstallDir"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\zelvano.exe"
!define MUI_FINISHPAGE_RUN_TEXT "现在启动 Zelvano"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

!include "${FILES}"

Section "Zelvano 程序（必需）" SecProgram
    SectionIn RO
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    !insertmacro InstallProgramFiles
    ; The teacher's own files: put in only when there are none yet.
    SetOverwrite off
    File "${SRCDIR}/点名册.xls"
    File "${SRCDIR}/MSCOMSJK.com"
    SetOverwrite on
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateDirectory "$SMPROGRAMS\Zelvano"
    CreateShortcut "$SMPROGRAMS\Zelvano\Zelvano.lnk" "$INSTDIR\zelvano.exe"
    CreateShortcut "$SMPROGRAMS\Zelvano\卸载 Zelvano.lnk" "$INSTDIR\uninstall.exe"
    WriteRegStr HKCU "Software\Zelvano" "InstallDir" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "${APPNAME} ${VERSION}"
    WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\zelvano.exe"
    WriteRegStr HKCU "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
SectionEnd

Section "桌面快捷方式" SecDesktop
    SetShellVarContext current
    CreateShortcut "$DESKTOP\Zelvano.lnk" "$INSTDIR\zelvano.exe"
SectionEnd

LangString DESC_Program ${LANG_SIMPCHINESE} "点名、摇号、抽奖和计时的程序本身。"
LangString DESC_Desktop ${LANG_SIMPCHINESE} "在桌面上放一个 Zelvano 的快捷方式。"
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DESC_Program)
    !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} $(DESC_Desktop)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Section "Uninstall"
    SetShellVarContext current
    ; The roll book, the settings, the draw record and any picture the
    ; teacher added stay; folders are removed only when they are empty.
    !insertmacro RemoveProgramFiles
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Zelvano\Zelvano.lnk"
    Delete "$SMPROGRAMS\Zelvano\卸载 Zelvano.lnk"
    RMDir "$SMPROGRAMS\Zelvano"
    Delete "$DESKTOP\Zelvano.lnk"
    DeleteRegKey HKCU "${UNINSTKEY}"
    DeleteRegKey HKCU "Software\Zelvano"
SectionEnd
