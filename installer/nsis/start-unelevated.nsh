; Starts Dovrel.exe with the rights of the signed-in user, not the
; installer's elevated ones: the desktop shell (Explorer, which runs
; unelevated as that user) is asked to start it through its
; IShellDispatch2::ShellExecute, reached from the ShellWindows object as
;   IShellWindows::FindWindowSW(desktop) -> IServiceProvider::QueryService
;   (SID_STopLevelBrowser) -> IShellBrowser::QueryActiveShellView
;   -> IShellView::GetItemObject(SVGIO_BACKGROUND) -> IShellFolderViewDual
;   ::get_Application -> IShellDispatch2.
; Without a desktop shell to ask (another shell, a remote session without
; Explorer, a deployment tool running as SYSTEM) Dovrel is not started at
; all: started from here it would run elevated, read network input with
; administrator rights, write the user's history as administrator and start
; Kalbrit elevated from its menu. The user is told to start it from the
; Start menu instead; at the next sign-in the Run key starts it anyway.
; The installer is 32-bit, so a VARIANT passed by value is four 32-bit
; words: vt, reserved, data.

!define CLSID_ShellWindows "{9BA05972-F6A8-11CF-A442-00A0C90A8F39}"
!define IID_IShellWindows "{85CB6900-4D95-11CF-960C-0080C7F4EE85}"
!define IID_IServiceProvider "{6D5140C1-7436-11CE-8034-00AA006009FA}"
!define SID_STopLevelBrowser "{4C96BE40-915C-11CF-99D3-00AA004AE837}"
!define IID_IShellBrowser "{000214E2-0000-0000-C000-000000000046}"
!define IID_IDispatch "{00020400-0000-0000-C000-000000000046}"
!define IID_IShellFolderViewDual "{E7A1AF80-4D96-11CF-960C-0080C7F4EE85}"
!define IID_IShellDispatch2 "{A4C6892C-3BA9-11D2-9DEA-00C04FB16162}"

; Shell-executes $INSTDIR\Dovrel.exe through the desktop shell; $0 = 0 on
; success, else the failing HRESULT or step.
Function ShellExecuteThroughDesktop
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  Push $8
  Push $9
  StrCpy $2 0
  StrCpy $3 0
  StrCpy $4 0
  StrCpy $5 0
  StrCpy $6 0
  StrCpy $7 0
  StrCpy $8 0
  StrCpy $9 0
  System::Call 'ole32::CoCreateInstance(g "${CLSID_ShellWindows}", p 0, i 4, g "${IID_IShellWindows}", *p .r2) i .r0'
  ${If} $0 != 0
    Goto release
  ${EndIf}
  ; VARIANT CSIDL_DESKTOP (VT_I4 0) and an empty VARIANT.
!ifdef TARGET_AMD64
  System::Call '*(i 3, i 0, l 0, l 0) p .r8'  ; a VARIANT is 24 bytes in a 64-bit process
  System::Call '*(l 0, l 0, l 0) p .r9'
!else
  System::Call '*(i 3, i 0, i 0, i 0) p .r8'
  System::Call '*(i 0, i 0, i 0, i 0) p .r9'
!endif
  ; FindWindowSW(loc, root, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, &disp)
  System::Call '$2->15(p r8, p r9, i 8, *i .r1, i 1, *p .r3) i .r0'
  System::Free $8
  System::Free $9
  ${If} $0 != 0
  ${OrIf} $3 == 0
    StrCpy $0 "FindWindowSW $0"
    Goto release
  ${EndIf}
  System::Call '$3->0(g "${IID_IServiceProvider}", *p .r4) i .r0'
  ${If} $0 != 0
    Goto release
  ${EndIf}
  System::Call '$4->3(g "${SID_STopLevelBrowser}", g "${IID_IShellBrowser}", *p .r5) i .r0'
  ${If} $0 != 0
    Goto release
  ${EndIf}
  System::Call '$5->15(*p .r6) i .r0'  ; IShellBrowser::QueryActiveShellView
  ${If} $0 != 0
    Goto release
  ${EndIf}
  System::Call '$6->15(i 0, g "${IID_IDispatch}", *p .r7) i .r0'  ; IShellView::GetItemObject
  ${If} $0 != 0
    Goto release
  ${EndIf}
  ; The view's IDispatch -> IShellFolderViewDual -> Application -> IShellDispatch2,
  ; each step replacing the pointer in $7 (and releasing the one before).
  System::Call '$7->0(g "${IID_IShellFolderViewDual}", *p .r8) i .r0'
  !insertmacro ReleaseIf $7
  StrCpy $7 $8
  ${If} $0 != 0
    StrCpy $7 0
    Goto release
  ${EndIf}
  System::Call '$7->7(*p .r8) i .r0'  ; IShellFolderViewDual::get_Application
  !insertmacro ReleaseIf $7
  StrCpy $7 $8
  ${If} $0 != 0
    StrCpy $7 0
    Goto release
  ${EndIf}
  System::Call '$7->0(g "${IID_IShellDispatch2}", *p .r8) i .r0'
  !insertmacro ReleaseIf $7
  StrCpy $7 $8
  ${If} $0 != 0
    StrCpy $7 0
    Goto release
  ${EndIf}
  System::Call 'oleaut32::SysAllocString(w "$INSTDIR\Dovrel.exe") p .r8'
  System::Call 'oleaut32::SysAllocString(w "$INSTDIR") p .r9'
  ; ShellExecute(file, args: empty, dir: VT_BSTR, operation: empty, show: empty)
!ifdef TARGET_AMD64
  ; The x64 convention passes a VARIANT argument as a pointer to a copy.
  Push $R8
  Push $R9
  System::Call '*(l 0, l 0, l 0) p .R8'
  System::Call '*(i 8, i 0, p r9, l 0) p .R9'
  System::Call '$7->31(p r8, p R8, p R9, p R8, p R8) i .r0'
  System::Free $R8
  System::Free $R9
  Pop $R9
  Pop $R8
!else
  System::Call '$7->31(p r8, i 0, i 0, i 0, i 0, i 8, i 0, p r9, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0) i .r0'
!endif
  System::Call 'oleaut32::SysFreeString(p r8)'
  System::Call 'oleaut32::SysFreeString(p r9)'
  release:
  !insertmacro ReleaseIf $7
  !insertmacro ReleaseIf $6
  !insertmacro ReleaseIf $5
  !insertmacro ReleaseIf $4
  !insertmacro ReleaseIf $3
  !insertmacro ReleaseIf $2
  Pop $9
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

Function StartDovrelUnelevated
  Push $0
  Push $1
  ${IfNot} ${FileExists} "$INSTDIR\Dovrel.exe"
    Goto done
  ${EndIf}
  !insertmacro ComEnter $1
  Call ShellExecuteThroughDesktop
  !insertmacro ComLeave $1
  ${If} $0 != 0
    DetailPrint "Dovrel was not started: no desktop shell could start it without administrator rights ($0). Start it from the Start menu: Dovrel."
    MessageBox MB_OK|MB_ICONINFORMATION "Dovrel was not started: Setup runs with administrator rights, and Dovrel must run with yours.$\n$\nStart it from the Start menu: Dovrel." /SD IDOK
  ${EndIf}
  done:
  Pop $1
  Pop $0
FunctionEnd
