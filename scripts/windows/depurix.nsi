; The Windows installer: the program folder, a Start menu entry and an uninstaller.
;   makensis -DVERSION=1.0.0 -DSTAGE=<program folder> -DICON=<.ico> -DOUTFILE=<setup.exe> depurix.nsi
; 64-bit like the program: it runs where the program can.
Target amd64-unicode
!include "MUI2.nsh"

!define UNINST "Software\Microsoft\Windows\CurrentVersion\Uninstall\Depurix"

Name "Depurix ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Depurix"
InstallDirRegKey HKLM "Software\Depurix" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1046 "ProductName" "Depurix"
VIAddVersionKey /LANG=1046 "FileDescription" "Instalação do Depurix"
VIAddVersionKey /LANG=1046 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1046 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1046 "CompanyName" "Depurix"
VIAddVersionKey /LANG=1046 "LegalCopyright" "Depurix"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\depurix.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "PortugueseBR"

Function .onInit
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\desinstalar.exe"
    CreateShortcut "$SMPROGRAMS\Depurix.lnk" "$INSTDIR\depurix.exe"
    WriteRegStr HKLM "Software\Depurix" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINST}" "DisplayName" "Depurix - Limpeza do Banco de Dados"
    WriteRegStr HKLM "${UNINST}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINST}" "Publisher" "Depurix"
    WriteRegStr HKLM "${UNINST}" "DisplayIcon" "$INSTDIR\depurix.exe"
    WriteRegStr HKLM "${UNINST}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINST}" "UninstallString" '"$INSTDIR\desinstalar.exe"'
    WriteRegStr HKLM "${UNINST}" "QuietUninstallString" '"$INSTDIR\desinstalar.exe" /S'
    WriteRegDWORD HKLM "${UNINST}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINST}" "NoRepair" 1
SectionEnd

; Only what the installer put there: the folder may hold the technician's own files (a
; fbclient.dll, saved logs), and then it stays.
Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Depurix.lnk"
    Delete "$INSTDIR\depurix.exe"
    Delete "$INSTDIR\qt.conf"
    Delete "$INSTDIR\Qt6Core.dll"
    Delete "$INSTDIR\Qt6Gui.dll"
    Delete "$INSTDIR\Qt6Widgets.dll"
    Delete "$INSTDIR\libstdc++-6.dll"
    Delete "$INSTDIR\libgcc_s_seh-1.dll"
    Delete "$INSTDIR\libwinpthread-1.dll"
    RMDir /r "$INSTDIR\platforms"
    RMDir /r "$INSTDIR\styles"
    RMDir /r "$INSTDIR\translations"
    Delete "$INSTDIR\desinstalar.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINST}"
    DeleteRegKey HKLM "Software\Depurix"
SectionEnd
