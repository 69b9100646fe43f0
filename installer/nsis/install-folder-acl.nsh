; Permissions of an install folder outside Program Files. Such a folder
; inherits from its parent, and under C:\ every signed-in user may change
; what it holds (Authenticated Users: Modify): anyone could replace
; Dovrel.exe, which the Run key starts for every user, or leave a DLL that
; this elevated installer, the uninstaller or Kalbrit would load. So, before
; anything is written into it, it gets what Program Files has: an
; administrator as owner, inheritance off, SYSTEM (S-1-5-18) and
; Administrators (S-1-5-32-544) full control, Users (S-1-5-32-545) read and
; execute, for the folder and all it holds. Set with icacls
; (system-tool.nsh), by well-known SIDs, not account names, which differ
; between languages of Windows.

; $0 = 1 when $INSTDIR is the folder PARENT or lies inside it.
!macro InstallDirIsIn PARENT
  StrCpy $0 0
  StrLen $1 "${PARENT}"
  StrCpy $2 "$INSTDIR" $1
  StrCpy $3 "$INSTDIR" 1 $1  ; the character after that part
  ${If} $1 > 0
  ${AndIf} $2 == "${PARENT}"  ; == ignores case, as Windows paths do
    ${If} $3 == ""
    ${OrIf} $3 == "\"
      StrCpy $0 1
    ${EndIf}
  ${EndIf}
!macroend

; Gives $INSTDIR the permissions above unless it lies in Program Files.
; Aborts the install, with the reason in the details and a message box (not
; in a silent install, which ends with exit code 2), when that cannot be
; done or when the folder holds files of something else, whose permissions
; would change with it. Uses $0 to $4.
Function SecureInstallFolder
  ; Whole, so that "Program Files\..\Users\Public" is not taken for Program Files.
  System::Call 'kernel32::GetFullPathNameW(w "$INSTDIR", i ${NSIS_MAX_STRLEN}, w .r0, p 0) i .r1'
  ${If} $1 > 0
  ${AndIf} $1 < ${NSIS_MAX_STRLEN}
    StrCpy $INSTDIR $0
  ${EndIf}
  !insertmacro InstallDirIsIn "$PROGRAMFILES"
  ${If} $0 == 1
    Return
  ${EndIf}
  !insertmacro InstallDirIsIn "$PROGRAMFILES64"
  ${If} $0 == 1
    Return
  ${EndIf}

  ${DirState} "$INSTDIR" $4  ; -1: none, 0: empty, 1: holds something
  ${If} $4 == 1
  ${AndIfNot} ${FileExists} "$INSTDIR\Dovrel.exe"
  ${AndIfNot} ${FileExists} "$INSTDIR\Dovrel.ini"
    StrCpy $0 "the folder already holds other files"
    Goto refuse
  ${EndIf}
  ${If} $4 == -1
    CreateDirectory "$INSTDIR"
    ${IfNot} ${FileExists} "$INSTDIR\*.*"
      StrCpy $0 "the folder could not be created"
      Goto refuse
    ${EndIf}
  ${Else}
    ; An existing folder may belong to someone else, who as its owner could
    ; change its permissions again, and carry entries of theirs, which
    ; /grant:r below would keep.
    Push icacls
    Push '"$INSTDIR" /setowner *S-1-5-32-544'
    Call RunSystemTool
    ${If} $0 == 0
      Push icacls
      Push '"$INSTDIR" /reset'
      Call RunSystemTool
    ${EndIf}
    ${If} $0 != 0
      StrCpy $0 "its owner and permissions could not be set (icacls exit code $0)"
      Goto refuse
    ${EndIf}
  ${EndIf}
  Push icacls
  Push '"$INSTDIR" /inheritance:r /grant:r *S-1-5-18:(OI)(CI)F *S-1-5-32-544:(OI)(CI)F *S-1-5-32-545:(OI)(CI)RX'
  Call RunSystemTool
  ${If} $0 != 0
    StrCpy $0 "its permissions could not be set (icacls exit code $0)"
    Goto refuse
  ${EndIf}
  ; Until now every user could write into the new folder: whatever is in
  ; it was not put there by this installer.
  ${If} $4 == -1
    ${DirState} "$INSTDIR" $4
    ${If} $4 != 0
      StrCpy $0 "something was put into the new folder before its permissions were set"
      Goto refuse
    ${EndIf}
  ${EndIf}
  DetailPrint "$INSTDIR: administrators may change it, users may read and run it"
  Return

  refuse:
  DetailPrint "Cannot install into $INSTDIR: $0"
  MessageBox MB_OK|MB_ICONSTOP "Dovrel cannot be installed into$\n$INSTDIR:$\n$0.$\n$\nChoose a new folder, or the default folder in Program Files." /SD IDOK
  Abort
FunctionEnd
