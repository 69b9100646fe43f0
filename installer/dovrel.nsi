; Installer of the Dovrel trap monitor: Dovrel.exe, Finwin.dll, Kalbrit.exe
; and the default Dovrel.ini. One 32-bit installer for both kinds of Windows:
; it installs the 64-bit programs on 64-bit Windows and the 32-bit ones on
; 32-bit Windows, and Finwin.dll for both architectures, so that 32-bit and
; 64-bit callers can each load one:
;   64-bit Windows: Finwin.dll (64-bit) beside Dovrel.exe, x86\Finwin.dll
;   32-bit Windows: Finwin.dll (32-bit) beside Dovrel.exe, x64\Finwin.dll
; It also adds an inbound firewall rule for Dovrel.exe, Start-menu entries,
; and checks Windows' SNMP Trap service, which would hold port 162.
;
; Built by CMake (target "installer") with makensis, which passes the paths
; of the files of both architectures, of the default Dovrel.ini in each
; catalogue language and of the output:
;   makensis -DX64_DOVREL_EXE=... -DX64_FINWIN_DLL=... -DX64_KALBRIT_EXE=...
;            -DX86_DOVREL_EXE=... -DX86_FINWIN_DLL=... -DX86_KALBRIT_EXE=...
;            -DDOVREL_INI_ENGLISH=... -DDOVREL_INI_JAPANESE=...
;            -DOUTFILE=... dovrel.nsi
;
; Command line of the installer:
;   /S                  silent; "Start Dovrel with Windows" stays selected
;   /NOAUTOSTART        do not start Dovrel with Windows
;   /NOSTART            do not start Dovrel when the install ends (a Dovrel
;                       that ran before an update is started again anyway)
;   /LANG=English|Japanese   catalogue language of a new Dovrel.ini
;                       (default: Japanese on a Japanese system, else English)
;   /DISABLESNMPTRAP    silent installs: stop and disable Windows' SNMP Trap
;                       service if it runs or starts automatically
;   /FIREWALL=all|none  firewall rule for every network profile, or none
;                       (default: domain and private networks; an update
;                       keeps the last choice), see firewall.nsh
;   /D=path             install folder (last on the line, no quotes);
;                       default: the folder of the last install, else
;                       Program Files\Dovrel; a folder elsewhere gets the
;                       permissions of Program Files, see install-folder-acl.nsh
; Command line of Uninstall.exe:
;   /S              silent; a Dovrel.ini changed since installation is kept
;   /REMOVECONFIG   remove Dovrel.ini even when it was changed

Unicode true
; The shipped installer is 32-bit. TARGET_AMD64 makes a 64-bit one from the
; same script, for test machines that cannot run 32-bit programs.
!ifdef TARGET_AMD64
Target amd64-unicode
; There ${RunningX64} is always true, so the branches for 32-bit Windows are
; never taken and their labels unused.
!pragma warning disable 6012
!else
Target x86-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "x64.nsh"
!include "nsDialogs.nsh"
!include "WinMessages.nsh"

!define PRODUCT "Dovrel"
!define VERSION "1.0.0.1"
!define SETTINGS_KEY "Software\Orvanta\Quillmont\CurrentVersion"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Dovrel"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; Chosen in .onInit: the folder of the last install (InstallPath, read in
; the system's own registry view, which InstallDirRegKey cannot do from this
; 32-bit installer on 64-bit Windows), else Program Files of the system's
; own architecture.
InstallDir ""
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "Dovrel trap monitor setup"
VIAddVersionKey "FileVersion" "1, 0, 0, 1"
VIAddVersionKey "ProductVersion" "1, 0, 0, 1"
VIAddVersionKey "CompanyName" "Orvanta"
VIAddVersionKey "LegalCopyright" "Orvanta"

Page components
Page directory
Page custom CatalogueLangPage CatalogueLangPageLeave
Page instfiles
Page custom FinishPage FinishPageLeave
UninstPage uninstConfirm
UninstPage instfiles

!addincludedir "${__FILEDIR__}\nsis"
!include "com.nsh"
!include "system-tool.nsh"
!include "install-folder-acl.nsh"
!include "settings-file.nsh"
!include "settings-file-acl.nsh"
!include "catalogue-language.nsh"
!include "firewall.nsh"
!include "snmptrap-service.nsh"
!include "start-unelevated.nsh"
!include "finish-page.nsh"

!define STARTMENU_FOLDER "$SMPROGRAMS\Dovrel"

; The registry view that the programs of this system read first: the 64-bit
; one on 64-bit Windows (this installer itself is 32-bit).
!macro UseNativeRegView
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

; Asks a running Dovrel to quit through Finwin's FinWin("Dovrel.exe"), with
; whichever Finwin.dll this 32-bit installer can load (x86\Finwin.dll on
; 64-bit Windows, Finwin.dll on 32-bit Windows; an older install has only a
; 64-bit one), else by posting the same WM_DESTROY itself, and waits until
; Dovrel.exe can be replaced or removed.
!macro EndRunningDovrel un
Function ${un}EndRunningDovrel
  StrCpy $0 "error"
  ${If} ${FileExists} "$INSTDIR\x86\Finwin.dll"
    ; FinWin is cdecl: ?c. ?u unloads the library afterwards.
    System::Call '$INSTDIR\x86\Finwin.dll::FinWin(m "Dovrel.exe") i .r0 ?cu'
  ${EndIf}
  ${If} $0 == "error"
  ${AndIf} ${FileExists} "$INSTDIR\Finwin.dll"
    System::Call '$INSTDIR\Finwin.dll::FinWin(m "Dovrel.exe") i .r0 ?cu'
  ${EndIf}
  ${If} $0 == "error"
    FindWindow $1 "Wymmera" "Dovrel.exe"
    ${If} $1 != 0
      System::Call 'user32::PostMessageW(p r1, i 2, p 0, p 0)'
      DetailPrint "Asked a running Dovrel to quit (WM_DESTROY)"
    ${EndIf}
  ${Else}
    DetailPrint "Asked a running Dovrel to quit (FinWin returned $0)"
  ${EndIf}
  ; The window goes first, the process a moment later.
  StrCpy $1 0
  ${DoWhile} $1 < 40
    ClearErrors
    ${IfNot} ${FileExists} "$INSTDIR\Dovrel.exe"
      ${Break}
    ${EndIf}
    FileOpen $2 "$INSTDIR\Dovrel.exe" a
    ${IfNot} ${Errors}
      FileClose $2
      ${Break}
    ${EndIf}
    Sleep 250
    IntOp $1 $1 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro EndRunningDovrel ""
!insertmacro EndRunningDovrel "un."


Section "Dovrel trap monitor (required)" SecMain
  SectionIn RO
  !insertmacro UseNativeRegView
  ; Before anything is written into the folder, or loaded from it.
  Call SecureInstallFolder
  SetOutPath "$INSTDIR"
  ; An update: the old Finwin.dll ends the running Dovrel first; it is
  ; started again when the install ends.
  FindWindow $R0 "Wymmera" "Dovrel.exe"
  ${If} $R0 != 0
    StrCpy $WasRunning 1
  ${EndIf}
  Call EndRunningDovrel

  ${If} ${RunningX64}
    File "/oname=Dovrel.exe" "${X64_DOVREL_EXE}"
    File "/oname=Finwin.dll" "${X64_FINWIN_DLL}"
    File "/oname=Kalbrit.exe" "${X64_KALBRIT_EXE}"
    SetOutPath "$INSTDIR\x86"
    File "/oname=Finwin.dll" "${X86_FINWIN_DLL}"
  ${Else}
    File "/oname=Dovrel.exe" "${X86_DOVREL_EXE}"
    File "/oname=Finwin.dll" "${X86_FINWIN_DLL}"
    File "/oname=Kalbrit.exe" "${X86_KALBRIT_EXE}"
    SetOutPath "$INSTDIR\x64"
    File "/oname=Finwin.dll" "${X64_FINWIN_DLL}"
  ${EndIf}
  SetOutPath "$INSTDIR"
  Call InstallSettingsFile

  WriteRegStr HKLM "${SETTINGS_KEY}" "InstallPath" "$INSTDIR"

  Call AddFirewallRule
  Call CheckSnmpTrapService

  ; For every user of this machine.
  SetShellVarContext all
  CreateDirectory "${STARTMENU_FOLDER}"
  CreateShortcut "${STARTMENU_FOLDER}\Dovrel.lnk" "$INSTDIR\Dovrel.exe" "" "$INSTDIR\Dovrel.exe" 0
  CreateShortcut "${STARTMENU_FOLDER}\Dovrel settings (Kalbrit).lnk" "$INSTDIR\Kalbrit.exe" "" "$INSTDIR\Kalbrit.exe" 0
  CreateShortcut "${STARTMENU_FOLDER}\Uninstall Dovrel.lnk" "$INSTDIR\Uninstall.exe"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Dovrel trap monitor"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Orvanta"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Dovrel.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $R1 $R2 $R3
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $R1  ; KiB
SectionEnd

Section "Start Dovrel with Windows" SecAutostart
  !insertmacro UseNativeRegView
  WriteRegStr HKLM "${RUN_KEY}" "Dovrel" '"$INSTDIR\Dovrel.exe"'
SectionEnd

Section "Uninstall"
  !insertmacro UseNativeRegView
  Call un.EndRunningDovrel
  Call un.RemoveFirewallRule

  SetShellVarContext all
  Delete "${STARTMENU_FOLDER}\Dovrel.lnk"
  Delete "${STARTMENU_FOLDER}\Dovrel settings (Kalbrit).lnk"
  Delete "${STARTMENU_FOLDER}\Uninstall Dovrel.lnk"
  RMDir "${STARTMENU_FOLDER}"

  Delete "$INSTDIR\Dovrel.exe"
  Delete "$INSTDIR\Finwin.dll"
  Delete "$INSTDIR\Kalbrit.exe"
  Delete "$INSTDIR\x86\Finwin.dll"
  RMDir "$INSTDIR\x86"
  Delete "$INSTDIR\x64\Finwin.dll"
  RMDir "$INSTDIR\x64"

  ; Dovrel.ini goes unless the user changed it (or /REMOVECONFIG asks).
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVECONFIG" $R1
  ${If} ${Errors}
    StrCpy $R9 0
  ${Else}
    StrCpy $R9 1
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\Dovrel.ini"
  ${AndIf} $R9 == 0
    ReadRegStr $R5 HKLM "${UNINSTALL_KEY}" "IniStamp"
    Call un.SettingsFileStamp
    Pop $R1
    ${If} $R5 == $R1
      StrCpy $R9 1
    ${Else}
      MessageBox MB_YESNO|MB_ICONQUESTION "Dovrel.ini has been changed since it was installed.$\n$\nRemove your settings too?" /SD IDNO IDNO keep
      StrCpy $R9 1
      keep:
    ${EndIf}
  ${EndIf}
  ${If} $R9 == 1
    Delete "$INSTDIR\Dovrel.ini"
  ${Else}
    DetailPrint "Kept the changed settings file $INSTDIR\Dovrel.ini"
  ${EndIf}

  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegValue HKLM "${RUN_KEY}" "Dovrel"
  DeleteRegValue HKLM "${SETTINGS_KEY}" "InstallPath"
  DeleteRegValue HKLM "${SETTINGS_KEY}" "FirewallProfiles"
  DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Orvanta\Quillmont"
  DeleteRegKey /ifempty HKLM "Software\Orvanta"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; After the sections, whose indices it uses.
Function .onInit
  !insertmacro UseNativeRegView
  ${If} $INSTDIR == ""  ; no /D=: an update goes where the last install went
    ReadRegStr $INSTDIR HKLM "${SETTINGS_KEY}" "InstallPath"
  ${EndIf}
  ${If} $INSTDIR == ""
    ${If} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\Dovrel"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES\Dovrel"
    ${EndIf}
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/NOAUTOSTART" $R1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecAutostart}
  ${EndIf}
  StrCpy $StartNow 1
  ClearErrors
  ${GetOptions} $R0 "/NOSTART" $R1
  ${IfNot} ${Errors}
    StrCpy $StartNow 0
  ${EndIf}
  StrCpy $SnmpTrapSwitch 0
  ClearErrors
  ${GetOptions} $R0 "/DISABLESNMPTRAP" $R1
  ${IfNot} ${Errors}
    StrCpy $SnmpTrapSwitch 1
  ${EndIf}
  Call ChooseFirewallProfiles
  Call ChooseCatalogueLang
FunctionEnd

; Runs after the last page, on the installer's main thread.
Function .onInstSuccess
  ${If} $WasRunning == 1
  ${OrIf} $StartNow == 1
    Call StartDovrelUnelevated
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro UseNativeRegView
FunctionEnd
