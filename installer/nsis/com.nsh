; COM from the script through the System plugin: interfaces are called by
; vtable index ('$ptr->index(...)').

; Releases the interface pointer in VAR (when there is one).
!macro ReleaseIf VAR
  ${If} ${VAR} != 0
    System::Call '${VAR}->2()'
  ${EndIf}
!macroend

; COM on this thread (single-threaded apartment). VAR keeps the result, so
; that ComLeave balances the call only when it set COM up (S_OK, S_FALSE).
!macro ComEnter VAR
  System::Call 'ole32::CoInitializeEx(p 0, i 2) i .s'
  Pop ${VAR}
!macroend

!macro ComLeave VAR
  ${If} ${VAR} >= 0
    System::Call 'ole32::CoUninitialize()'
  ${EndIf}
!macroend
