; The installed Dovrel.ini. A new install gets the default of the chosen
; catalogue language. On an update, a default the user never changed (same
; file time and size as recorded in IniStamp when it was installed) is
; replaced by this version's default, so that catalogue fixes reach the
; user; a changed one is kept byte for byte.

Var SettingsFileState  ; none, default (unchanged since installed) or user
Var CatalogueLang      ; English or Japanese: the Lang= of a new file (catalogue-language.nsh)

Function ClassifySettingsFile
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  ${IfNot} ${FileExists} "$INSTDIR\Dovrel.ini"
    StrCpy $SettingsFileState "none"
  ${Else}
    StrCpy $SettingsFileState "user"
    ReadRegStr $R5 HKLM "${UNINSTALL_KEY}" "IniStamp"
    ReadRegStr $R4 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R5 != ""
    ${AndIf} $R4 == $INSTDIR
      Call SettingsFileStamp
      Pop $R1
      ${If} $R1 == $R5
        StrCpy $SettingsFileState "default"
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
FunctionEnd

; Pushes "high:low:size" of $INSTDIR\Dovrel.ini's last-write time and size.
!macro SettingsFileStamp un
Function ${un}SettingsFileStamp
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  GetFileTime "$INSTDIR\Dovrel.ini" $R1 $R2
  ${GetSize} "$INSTDIR" "/M=Dovrel.ini /S=0B /G=0" $R3 $R4 $R5
  StrCpy $R1 "$R1:$R2:$R3"
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Exch $R1
FunctionEnd
!macroend
!insertmacro SettingsFileStamp ""
!insertmacro SettingsFileStamp "un."

Function InstallSettingsFile
  Push $R1
  Call ClassifySettingsFile
  ${If} $SettingsFileState == "user"
    DetailPrint "Keeping your Dovrel.ini (changed since it was installed)"
  ${Else}
    ${If} $SettingsFileState == "default"
      DetailPrint "Replacing the unchanged default Dovrel.ini with this version's"
    ${EndIf}
    ${If} $CatalogueLang == "Japanese"
      File "/oname=Dovrel.ini" "${DOVREL_INI_JAPANESE}"
    ${Else}
      File "/oname=Dovrel.ini" "${DOVREL_INI_ENGLISH}"
    ${EndIf}
    DetailPrint "Dovrel.ini: Lang=$CatalogueLang"
    ; Taken from the file as installed (Lang= included), so that the
    ; uninstaller and the next update can tell a changed file.
    Call SettingsFileStamp
    Pop $R1
    WriteRegStr HKLM "${UNINSTALL_KEY}" "IniStamp" $R1
  ${EndIf}
  ; The folder's permissions only: users read it, Kalbrit asks for
  ; administrator rights to save it.
  Call RemoveOldUsersGrant
  Pop $R1
FunctionEnd
