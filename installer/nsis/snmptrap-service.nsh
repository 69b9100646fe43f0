; Windows' optional "SNMP Trap" service (SNMPTRAP) holds UDP port 162 while
; it runs, and Dovrel then cannot bind it. If the service runs or starts
; automatically, the user is told and offered to stop and disable it; a
; silent install does so only with /DISABLESNMPTRAP.
!define SNMPTRAP_SERVICE "SNMPTRAP"
!define SNMPTRAP_KEY "SYSTEM\CurrentControlSet\Services\SNMPTRAP"

Var SnmpTrapSwitch  ; 1: /DISABLESNMPTRAP given

; $R1 = service handle with query, stop and change-config rights (0: none)
; $R2 = a SERVICE_STATUS buffer; leaves dwCurrentState in $R5 (1 = stopped).
!macro QuerySnmpTrapState
  System::Call 'advapi32::QueryServiceStatus(p R1, p R2) i .R4'
  System::Call '*$R2(i, i .R5)'
  ${If} $R4 == 0
    StrCpy $R5 1
  ${EndIf}
!macroend

Function CheckSnmpTrapService
  Push $R0
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  ; Start: 2 automatic, 3 manual, 4 disabled; no key: not installed.
  ClearErrors
  ReadRegDWORD $R3 HKLM "${SNMPTRAP_KEY}" "Start"
  ${If} ${Errors}
    Goto done
  ${EndIf}
  System::Call 'advapi32::OpenSCManagerW(p 0, p 0, i 1) p .R0'  ; SC_MANAGER_CONNECT
  ${If} $R0 == 0
    Goto done
  ${EndIf}
  ; SERVICE_QUERY_STATUS | SERVICE_STOP | SERVICE_CHANGE_CONFIG
  System::Call 'advapi32::OpenServiceW(p R0, w "${SNMPTRAP_SERVICE}", i 0x26) p .R1'
  System::Call '*(&i28) p .R2'
  StrCpy $R5 1
  ${If} $R1 != 0
    !insertmacro QuerySnmpTrapState
  ${EndIf}
  ${If} $R5 == 1
  ${AndIf} $R3 != 2
    Goto close  ; stopped and not automatic: nothing in the way
  ${EndIf}
  DetailPrint "The SNMP Trap service (SNMPTRAP) runs or starts automatically; it holds UDP port 162"
  ${If} $SnmpTrapSwitch != 1
    MessageBox MB_YESNO|MB_ICONEXCLAMATION "The Windows service $\"SNMP Trap$\" (SNMPTRAP) is running or starts automatically. It holds UDP port 162, so Dovrel could not receive traps on that port.$\n$\nStop the SNMP Trap service and disable it?$\n$\n(No: keep it; then set another port in Dovrel settings, or stop the service later.)" /SD IDNO IDYES disable
    DetailPrint "SNMP Trap service left as it is: Dovrel cannot use port 162 while it runs"
    Goto close
  ${EndIf}
  disable:
  ${If} $R1 == 0
    DetailPrint "SNMP Trap service: cannot open it to stop it"
    Goto close
  ${EndIf}
  ; SERVICE_DISABLED; SERVICE_NO_CHANGE for everything else.
  System::Call 'advapi32::ChangeServiceConfigW(p R1, i 0xFFFFFFFF, i 4, i 0xFFFFFFFF, p 0, p 0, p 0, p 0, p 0, p 0, p 0) i .R4'
  ${If} $R4 != 0
    DetailPrint "SNMP Trap service disabled"
  ${Else}
    DetailPrint "SNMP Trap service: could not disable it"
  ${EndIf}
  ${If} $R5 != 1
    System::Call 'advapi32::ControlService(p R1, i 1, p R2) i .R4'  ; SERVICE_CONTROL_STOP
    StrCpy $R3 0  ; the start type is no longer needed: a counter now
    ${Do}
      !insertmacro QuerySnmpTrapState
      ${If} $R5 == 1
      ${OrIf} $R3 >= 60
        ${Break}
      ${EndIf}
      Sleep 250
      IntOp $R3 $R3 + 1
    ${Loop}
    ${If} $R5 == 1
      DetailPrint "SNMP Trap service stopped"
    ${Else}
      DetailPrint "SNMP Trap service did not stop (state $R5)"
    ${EndIf}
  ${EndIf}
  close:
  System::Free $R2
  ${If} $R1 != 0
    System::Call 'advapi32::CloseServiceHandle(p R1)'
  ${EndIf}
  System::Call 'advapi32::CloseServiceHandle(p R0)'
  done:
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd
