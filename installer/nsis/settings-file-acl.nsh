; Earlier versions let every user write Dovrel.ini (icacls /grant
; *S-1-5-32-545:M): any local user could then silence or falsify the UPS
; alerts of every other user. Dovrel.ini now has the folder's permissions
; only (administrators write it; Kalbrit asks for elevation to save). An
; update removes exactly that grant, an explicit allow ACE for Users with
; the Modify mask, and leaves every other entry of the file's ACL alone.
!define OLD_GRANT_SID "S-1-5-32-545"  ; Users
!define OLD_GRANT_MASK 0x1301bf       ; Modify: read, write, execute, delete

Function RemoveOldUsersGrant
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  Push $8
  StrCpy $2 0
  StrCpy $3 0
  ${IfNot} ${FileExists} "$INSTDIR\Dovrel.ini"
    Goto done
  ${EndIf}
  ; $2 = the DACL inside the security descriptor $3 (freed at the end)
  System::Call 'advapi32::GetNamedSecurityInfoW(w "$INSTDIR\Dovrel.ini", i 1, i 4, p 0, p 0, *p .r2, p 0, *p .r3) i .r0'
  ${If} $0 <> 0
  ${OrIf} $2 == 0
    Goto done
  ${EndIf}
  System::Call 'advapi32::ConvertStringSidToSidW(w "${OLD_GRANT_SID}", *p .r4) i .r0'
  ${If} $0 = 0
    Goto done
  ${EndIf}
  ; ACL header: revision, padding, size, ACE count. Walked from the end, so
  ; that a deleted ACE does not move the ones still to be looked at.
  System::Call '*$2(&i1, &i1, &i2, &i2 .r5)'
  StrCpy $7 0  ; ACEs removed
  ${DoWhile} $5 > 0
    IntOp $5 $5 - 1
    System::Call 'advapi32::GetAce(p r2, i r5, *p .r8) i .r0'
    ${If} $0 = 0
      ${Continue}
    ${EndIf}
    ; ACCESS_ALLOWED_ACE: type, flags, size, mask, then the SID.
    System::Call '*$8(&i1 .r0, &i1 .r1, &i2, i .r6)'
    ${If} $0 = 0            ; ACCESS_ALLOWED_ACE_TYPE
    ${AndIf} $1 = 0         ; explicit, for this file only
    ${AndIf} $6 = ${OLD_GRANT_MASK}
      IntOp $8 $8 + 8
      System::Call 'advapi32::EqualSid(p r8, p r4) i .r0'
      ${If} $0 <> 0
        System::Call 'advapi32::DeleteAce(p r2, i r5) i .r0'
        IntOp $7 $7 + $0
      ${EndIf}
    ${EndIf}
  ${Loop}
  System::Call 'kernel32::LocalFree(p r4)'
  ${If} $7 = 0
    Goto done
  ${EndIf}
  ; Set back as protected or not as it was: SetNamedSecurityInfo would
  ; otherwise decide whether the file inherits from its folder.
  System::Call 'advapi32::GetSecurityDescriptorControl(p r3, *i .r0, *i .r1) i .r1'
  IntOp $0 $0 & 0x1000  ; SE_DACL_PROTECTED
  ${If} $0 <> 0
    StrCpy $1 0x80000004  ; PROTECTED_DACL | DACL
  ${Else}
    StrCpy $1 0x20000004  ; UNPROTECTED_DACL | DACL
  ${EndIf}
  System::Call 'advapi32::SetNamedSecurityInfoW(w "$INSTDIR\Dovrel.ini", i 1, i r1, p 0, p 0, p r2, p 0) i .r0'
  ${If} $0 = 0
    DetailPrint "Dovrel.ini: removed the write access that earlier versions gave to all users"
  ${Else}
    DetailPrint "Dovrel.ini: could not remove the write access that earlier versions gave to all users (error $0)"
  ${EndIf}
  done:
  ${If} $3 != 0
    System::Call 'kernel32::LocalFree(p r3)'
  ${EndIf}
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
