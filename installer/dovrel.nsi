; Installer of the Dovrel trap monitor: Dovrel.exe, Finwin.dll, Kalbrit.exe
; and the default Dovrel.ini. One 32-bit installer for both kinds of Windows:
; it installs the 64-bit programs on 64-bit Windows and the 32-bit ones on
; 32-bit Windows, and Finwin.dll for both architectures, so that 32-bit and
; 64-bit callers can each load one:
;   64-bit Windows: Finwin.dll (64-bit) beside Dovrel.exe, x86\Finwin.dll
;   32-bit Windows: Finwin.dll (32-bit) beside Dovrel.exe, x64\Finwin.dll
;
; Built by CMake (target "installer") with makensis, which passes the paths
; of the files of both architectures and of the output:
;   makensis -DX64_DOVREL_EXE=... -DX64_FINWIN_DLL=... -DX64_KALBRIT_EXE=...
;            -DX86_DOVREL_EXE=... -DX86_FINWIN_DLL=... -DX86_KALBRIT_EXE=...
;            -DDOVREL_INI=... -DOUTFILE=... dovrel.nsi
;
; Command line of the installer:
;   /S              silent; "Start Dovrel with Windows" stays selected
;   /NOAUTOSTART    do not start Dovrel with Windows
;   /D=path         install folder (last on the line, no quotes)
; Command line of Uninstall.exe:
;   /S              silent; a Dovrel.ini changed since installation is kept
;   /REMOVECONFIG   remove Dovrel.ini even when it was changed

Unicode true
Target x86-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "x64.nsh"

!define PRODUCT "Dovrel"
!define VERSION "1.0.0.1"
!define SETTINGS_KEY "Software\Orvanta\Quillmont\CurrentVersion"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Dovrel"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; Chosen in .onInit: Program Files of the system's own architecture.
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
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

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
  SetOutPath "$INSTDIR"
  ; An update: the old Finwin.dll ends the running Dovrel first.
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

  ; The user's settings survive an update.
  ${If} ${FileExists} "$INSTDIR\Dovrel.ini"
    DetailPrint "Keeping the existing Dovrel.ini"
  ${Else}
    File "/oname=Dovrel.ini" "${DOVREL_INI}"
    ; Remembered so that the uninstaller can tell a changed file.
    GetFileTime "$INSTDIR\Dovrel.ini" $R1 $R2
    ${GetSize} "$INSTDIR" "/M=Dovrel.ini /S=0B /G=0" $R3 $R4 $R5
    WriteRegStr HKLM "${UNINSTALL_KEY}" "IniStamp" "$R1:$R2:$R3"
    ; Kalbrit runs as the user and writes this file.
    nsExec::Exec 'icacls "$INSTDIR\Dovrel.ini" /grant *S-1-5-32-545:M'
    Pop $R0
  ${EndIf}

  WriteRegStr HKLM "${SETTINGS_KEY}" "InstallPath" "$INSTDIR"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Dovrel trap monitor"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Orvanta"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Dovrel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Start Dovrel with Windows" SecAutostart
  !insertmacro UseNativeRegView
  WriteRegStr HKLM "${RUN_KEY}" "Dovrel" '"$INSTDIR\Dovrel.exe"'
SectionEnd

Section "Uninstall"
  !insertmacro UseNativeRegView
  Call un.EndRunningDovrel

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
    GetFileTime "$INSTDIR\Dovrel.ini" $R1 $R2
    ${GetSize} "$INSTDIR" "/M=Dovrel.ini /S=0B /G=0" $R3 $R4 $R6
    ${If} $R5 == "$R1:$R2:$R3"
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
FunctionEnd

Function un.onInit
  !insertmacro UseNativeRegView
FunctionEnd
