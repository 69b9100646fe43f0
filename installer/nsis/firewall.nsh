; Inbound Windows Firewall rule for Dovrel.exe: UDP to the program, on no
; fixed port, so that a port changed later in Kalbrit needs no new rule.
; Added and removed with netsh.exe of the system's own architecture
; (system-tool.nsh).
;
; The network profiles it covers come from /FIREWALL=:
;   (none given)  domain,private: not public networks (a café's Wi-Fi), where
;                 anyone on the network could send traps
;   all           any: public networks too
;   none          no rule (a rule of an earlier install is removed): the
;                 administrator opens the firewall
; The choice is kept beside InstallPath as FirewallProfiles, one of
; "domain,private", "any" or "none", for Kalbrit to read; an update without
; /FIREWALL= keeps it.
!define FIREWALL_RULE "Dovrel SNMP traps"
!define CLSID_NetworkListManager "{DCB00C01-570F-4A9B-8D69-199FDBA5723B}"
!define IID_INetworkListManager "{DCB00000-570F-4A9B-8D69-199FDBA5723B}"

Var FirewallProfiles  ; domain,private | any | none
Var PublicNetworkNote ; for the last page: the rule leaves out the network this computer is on

; Sets $FirewallProfiles from /FIREWALL= (parameters in $R0), else from the
; last install; an unknown value ends the installer, which should not guess
; how far to open the firewall.
Function ChooseFirewallProfiles
  ClearErrors
  ${GetOptions} $R0 "/FIREWALL=" $R1
  ${If} ${Errors}
    ReadRegStr $FirewallProfiles HKLM "${SETTINGS_KEY}" "FirewallProfiles"
    ${If} $FirewallProfiles != "any"
    ${AndIf} $FirewallProfiles != "none"
      StrCpy $FirewallProfiles "domain,private"
    ${EndIf}
  ${ElseIf} $R1 == "all"
    StrCpy $FirewallProfiles "any"
  ${ElseIf} $R1 == "none"
    StrCpy $FirewallProfiles "none"
  ${Else}
    MessageBox MB_OK|MB_ICONSTOP "Unknown switch /FIREWALL=$R1.$\n$\nUse /FIREWALL=all (every network, public ones too) or /FIREWALL=none (no firewall rule); without it, traps are allowed on domain and private networks." /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

; $0 = 1 when a network this computer is connected to is in the Public
; category (INetworkListManager).
Function IsOnPublicNetwork
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  StrCpy $0 0
  StrCpy $2 0
  StrCpy $3 0
  !insertmacro ComEnter $6
  System::Call 'ole32::CoCreateInstance(g "${CLSID_NetworkListManager}", p 0, i 0x17, g "${IID_INetworkListManager}", *p .r2) i .r1'
  ${If} $1 <> 0
    StrCpy $2 0
    Goto release
  ${EndIf}
  System::Call '$2->7(i 1, *p .r3) i .r1'  ; GetNetworks(NLM_ENUM_NETWORK_CONNECTED)
  ${If} $1 <> 0
    StrCpy $3 0
    Goto release
  ${EndIf}
  ${Do}
    StrCpy $4 0
    System::Call '$3->8(i 1, *p .r4, p 0) i .r1'  ; IEnumNetworks::Next
    ${If} $1 <> 0  ; S_FALSE: no more
    ${OrIf} $4 == 0
      ${Break}
    ${EndIf}
    System::Call '$4->18(*i .r5) i .r1'  ; INetwork::GetCategory
    System::Call '$4->2()'
    ${If} $1 = 0
    ${AndIf} $5 = 0  ; NLM_NETWORK_CATEGORY_PUBLIC
      StrCpy $0 1
    ${EndIf}
  ${Loop}
  release:
  !insertmacro ReleaseIf $3
  !insertmacro ReleaseIf $2
  !insertmacro ComLeave $6
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

Function AddFirewallRule
  WriteRegStr HKLM "${SETTINGS_KEY}" "FirewallProfiles" $FirewallProfiles
  ; A rule of an earlier install goes first: netsh adds duplicates.
  Push netsh
  Push 'advfirewall firewall delete rule name="${FIREWALL_RULE}"'
  Call RunSystemTool
  ${If} $FirewallProfiles == "none"
    DetailPrint "Firewall: no rule added (/FIREWALL=none); traps reach Dovrel only where the administrator allows them"
    Return
  ${EndIf}
  Push netsh
  Push 'advfirewall firewall add rule name="${FIREWALL_RULE}" dir=in action=allow program="$INSTDIR\Dovrel.exe" protocol=UDP profile=$FirewallProfiles enable=yes'
  Call RunSystemTool
  ${If} $0 == 0
    DetailPrint "Firewall: inbound UDP allowed for $INSTDIR\Dovrel.exe on $FirewallProfiles networks"
  ${Else}
    DetailPrint "Firewall: netsh could not add the rule (exit code $0)"
    MessageBox MB_OK|MB_ICONEXCLAMATION "The Windows Firewall rule that lets traps reach Dovrel could not be added (netsh exit code $0).$\n$\nAdd an inbound rule that allows UDP for$\n$INSTDIR\Dovrel.exe$\nor traps may not arrive." /SD IDOK
    Return
  ${EndIf}
  ${If} $FirewallProfiles != "any"
    Call IsOnPublicNetwork
    ${If} $0 == 1
      StrCpy $PublicNetworkNote "This computer is on a public network, which the firewall rule does not cover: traps from devices are blocked until the network is made private in Windows' network settings, or Setup is run again with /FIREWALL=all."
      DetailPrint "Firewall: $PublicNetworkNote"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.RemoveFirewallRule
  Push netsh
  Push 'advfirewall firewall delete rule name="${FIREWALL_RULE}"'
  Call un.RunSystemTool
FunctionEnd
