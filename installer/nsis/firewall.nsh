; Inbound Windows Firewall rule for Dovrel.exe: UDP to the program, on no
; fixed port, so that a port changed later in Kalbrit needs no new rule.
; Added and removed with netsh.exe of the system's own architecture.
!define FIREWALL_RULE "Dovrel SNMP traps"

; netsh ARGS, the netsh.exe of the system's own architecture (this 32-bit
; installer reaches 64-bit System32 as Sysnative, without turning off file
; system redirection for the thread), with its output in the details; the
; exit code is left in $0.
!macro RunNetsh un
Function ${un}RunNetsh
  Exch $1
!ifdef TARGET_AMD64
  nsExec::ExecToLog '"$SYSDIR\netsh.exe" $1'
!else
  ${If} ${RunningX64}
    nsExec::ExecToLog '"$WINDIR\Sysnative\netsh.exe" $1'
  ${Else}
    nsExec::ExecToLog '"$SYSDIR\netsh.exe" $1'
  ${EndIf}
!endif
  Pop $0
  Pop $1
FunctionEnd
!macroend
!insertmacro RunNetsh ""
!insertmacro RunNetsh "un."

Function AddFirewallRule
  ; A rule of an earlier install goes first: netsh adds duplicates.
  Push 'advfirewall firewall delete rule name="${FIREWALL_RULE}"'
  Call RunNetsh
  Push 'advfirewall firewall add rule name="${FIREWALL_RULE}" dir=in action=allow program="$INSTDIR\Dovrel.exe" protocol=UDP profile=any enable=yes'
  Call RunNetsh
  ${If} $0 == 0
    DetailPrint "Firewall: inbound UDP allowed for $INSTDIR\Dovrel.exe"
  ${Else}
    DetailPrint "Firewall: netsh could not add the rule (exit code $0)"
    MessageBox MB_OK|MB_ICONEXCLAMATION "The Windows Firewall rule that lets traps reach Dovrel could not be added (netsh exit code $0).$\n$\nAdd an inbound rule that allows UDP for$\n$INSTDIR\Dovrel.exe$\nor traps may not arrive." /SD IDOK
  ${EndIf}
FunctionEnd

Function un.RemoveFirewallRule
  Push 'advfirewall firewall delete rule name="${FIREWALL_RULE}"'
  Call un.RunNetsh
FunctionEnd
