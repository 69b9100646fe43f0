; The message catalogue a new Dovrel.ini selects (its Lang= line): Japanese
; when the user's UI language is Japanese or the ANSI code page is 932
; (Dovrel's Japanese texts are Shift-JIS), English otherwise; /LANG=English
; or /LANG=Japanese overrides that, and the "Alert language" page lets the
; user choose. A Dovrel.ini the user already has is never changed, so the
; page is skipped then.

Var LangRadioEnglish
Var LangRadioJapanese

; Sets $CatalogueLang from /LANG= (parameters in $R0) or from the system.
Function ChooseCatalogueLang
  ClearErrors
  ${GetOptions} $R0 "/LANG=" $R1
  ${IfNot} ${Errors}
    ${If} $R1 == "English"  ; == compares without regard to case
      StrCpy $CatalogueLang "English"
      Return
    ${ElseIf} $R1 == "Japanese"
      StrCpy $CatalogueLang "Japanese"
      Return
    ${EndIf}
  ${EndIf}
  System::Call 'kernel32::GetUserDefaultUILanguage() i .r0'
  IntOp $0 $0 & 0x3FF  ; primary language
  System::Call 'kernel32::GetACP() i .r1'
  ${If} $0 = 0x11  ; LANG_JAPANESE
  ${OrIf} $1 = 932
    StrCpy $CatalogueLang "Japanese"
  ${Else}
    StrCpy $CatalogueLang "English"
  ${EndIf}
FunctionEnd

Function CatalogueLangPage
  Call ClassifySettingsFile
  ${If} $SettingsFileState == "user"
    Abort  ; the user's own Dovrel.ini is kept as it is
  ${EndIf}
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 36u "Language of the alert texts (the message catalogue that Dovrel.ini selects). Alerts are shown in this language; it can be changed later in Dovrel settings."
  Pop $0
  ${NSD_CreateRadioButton} 10u 44u 90% 12u "English"
  Pop $LangRadioEnglish
  ${NSD_CreateRadioButton} 10u 60u 90% 12u "Japanese"
  Pop $LangRadioJapanese
  ${If} $CatalogueLang == "Japanese"
    ${NSD_Check} $LangRadioJapanese
  ${Else}
    ${NSD_Check} $LangRadioEnglish
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function CatalogueLangPageLeave
  ${NSD_GetState} $LangRadioJapanese $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $CatalogueLang "Japanese"
  ${Else}
    StrCpy $CatalogueLang "English"
  ${EndIf}
FunctionEnd
