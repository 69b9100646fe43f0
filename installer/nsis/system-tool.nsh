; Runs a program of the Windows folder (netsh, icacls) by its full path,
; never by a bare name: for a bare name CreateProcess looks first in the
; installer's own folder, often Downloads, where anyone may have left a
; program of that name to run with the installer's administrator rights.
; The tool of the system's own architecture: this 32-bit installer reaches
; 64-bit System32 as Sysnative, without turning off file system
; redirection for the thread.
;   Push TOOL      ; file name without .exe
;   Push ARGS
;   Call RunSystemTool  ; output in the details, exit code left in $0
!macro RunSystemTool un
Function ${un}RunSystemTool
  Exch $1
  Exch
  Exch $2
!ifdef TARGET_AMD64
  nsExec::ExecToLog '"$SYSDIR\$2.exe" $1'
!else
  ${If} ${RunningX64}
    nsExec::ExecToLog '"$WINDIR\Sysnative\$2.exe" $1'
  ${Else}
    nsExec::ExecToLog '"$SYSDIR\$2.exe" $1'
  ${EndIf}
!endif
  Pop $0
  Pop $2
  Pop $1
FunctionEnd
!macroend
!insertmacro RunSystemTool ""
!insertmacro RunSystemTool "un."
