; Last page: "Start Dovrel now" (on by default) after a fresh install. When
; Dovrel was running before an update it is started again in any case, and
; the page says so. /NOSTART clears the box for silent installs. The start
; itself happens in .onInstSuccess, on the installer's main thread. Below,
; when the firewall rule leaves out the network this computer is on, why
; traps will not arrive (firewall.nsh).

Var StartNow          ; 1: start Dovrel when the installer ends
Var WasRunning        ; 1: a Dovrel was running when the install began
Var StartNowCheckbox

Function FinishPage
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:&Finish"
  GetDlgItem $0 $HWNDPARENT 2
  EnableWindow $0 0
  GetDlgItem $0 $HWNDPARENT 3
  EnableWindow $0 0
  ${NSD_CreateLabel} 0 0 100% 24u "Dovrel has been installed in $INSTDIR."
  Pop $0
  ${If} $WasRunning == 1
    ${NSD_CreateLabel} 0 30u 100% 24u "Dovrel was running before this update and will be started again."
    Pop $0
  ${Else}
    ${NSD_CreateCheckbox} 0 30u 100% 12u "Start Dovrel now"
    Pop $StartNowCheckbox
    ${If} $StartNow == 1
      ${NSD_Check} $StartNowCheckbox
    ${EndIf}
  ${EndIf}
  ${If} $PublicNetworkNote != ""
    ${NSD_CreateLabel} 0 60u 100% 48u "$PublicNetworkNote"
    Pop $0
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function FinishPageLeave
  ${If} $WasRunning != 1
    ${NSD_GetState} $StartNowCheckbox $0
    ${If} $0 == ${BST_CHECKED}
      StrCpy $StartNow 1
    ${Else}
      StrCpy $StartNow 0
    ${EndIf}
  ${EndIf}
FunctionEnd
