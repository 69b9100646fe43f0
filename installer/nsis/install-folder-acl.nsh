; Permissions of an install folder outside Program Files. Such a folder
; inherits from its parent, and under C:\ every signed-in user may change
; what it holds (Authenticated Users: Modify): anyone could replace
; Dovrel.exe, which the Run key starts for every user, or leave a DLL that
; this elevated installer, the uninstaller or Kalbrit would load. So, before
; anything is written into it, it gets what Program Files has: owner
; Administrators, inheritance off, SYSTEM (SY, S-1-5-18) and Administrators
; (BA, S-1-5-32-544) full control, Users (BU, S-1-5-32-545) read and execute,
; for the folder and all it holds. Well-known SIDs, not account names, which
; differ between languages of Windows.
!define INSTALL_FOLDER_SDDL "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)"
; SECURITY_ATTRIBUTES written as three pointer-sized members: the length
; lands in the low bytes of the first, the rest is the padding of either
; architecture.
!define /math SECURITY_ATTRIBUTES_SIZE ${NSIS_PTR_SIZE} * 3

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
; would change with it.
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
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${INSTALL_FOLDER_SDDL}", i 1, *p .r2, p 0) i .r0'
  ${If} $0 == 0
    StrCpy $0 "its permissions could not be prepared"
    Goto refuse
  ${EndIf}
  ${If} $4 == -1
    ${GetParent} "$INSTDIR" $1
    CreateDirectory "$1"
    ; Created with these permissions, so that no file can be slipped in
    ; between the folder's creation and the change of its permissions.
    System::Call '*(p ${SECURITY_ATTRIBUTES_SIZE}, p r2, p 0) p .r3'
    System::Call 'kernel32::CreateDirectoryW(w "$INSTDIR", p r3) i .r0 ?e'
    Pop $1
    System::Free $3
    StrCpy $3 "could not create the folder (error $1)"
  ${Else}
    ; The owner too: an owner may always change a folder's permissions.
    ; OWNER | DACL | PROTECTED_DACL; existing files inherit the new ACEs.
    System::Call 'advapi32::GetSecurityDescriptorOwner(p r2, *p .r5, *i .r1) i .r0'
    System::Call 'advapi32::GetSecurityDescriptorDacl(p r2, *i .r1, *p .r6, *i .r1) i .r0'
    System::Call 'advapi32::SetNamedSecurityInfoW(w "$INSTDIR", i 1, i 0x80000005, p r5, p 0, p r6, p 0) i .r1'
    ${If} $1 == 0
      StrCpy $0 1
    ${Else}
      StrCpy $0 0
    ${EndIf}
    StrCpy $3 "its permissions could not be set (error $1)"
  ${EndIf}
  System::Call 'kernel32::LocalFree(p r2)'
  ${If} $0 == 0
    StrCpy $0 $3
    Goto refuse
  ${EndIf}
  DetailPrint "$INSTDIR: administrators may change it, users may read and run it"
  Return

  refuse:
  DetailPrint "Cannot install into $INSTDIR: $0"
  MessageBox MB_OK|MB_ICONSTOP "Dovrel cannot be installed into$\n$INSTDIR:$\n$0.$\n$\nChoose a new folder, or the default folder in Program Files." /SD IDOK
  Abort
FunctionEnd
