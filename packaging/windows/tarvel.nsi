; The Windows installer. Made by WindowsInstaller.cmake, which passes
;   VERSION  the version, e.g. 0.1
;   STAGE    the folder the programs were installed into (cmake --install)
;   OUTFILE  the installer to write
;   ICON     the program's icon
; Installs for every user (Program Files, needs administrator rights) or,
; without those rights or with /CurrentUser, for the current user only.
; /S installs silently with the default choices; /D=FOLDER picks the folder.

; A 64-bit installer for 64-bit programs: it sees the 64-bit registry and
; Program Files as they are.
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Tarvel"
!define APP_KEY "Software\Tarvel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvel"
!define CONTEXT_KEY "Software\Classes\SystemFileAssociations\.ase\shell\Tarvel.Compile3DO"
; "Open with Tarvel" on the scenes and the files the window reads, and the
; window among the programs Explorer offers for them.
!define OPEN_ASE_KEY "Software\Classes\SystemFileAssociations\.ase\shell\Tarvel.Open"
!define OPEN_3DO_KEY "Software\Classes\SystemFileAssociations\.3do\shell\Tarvel.Open"
!define APPLICATION_KEY "Software\Classes\Applications\tarvel.exe"
!define SYSTEM_ENV_KEY "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
!define USER_ENV_KEY "Environment"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${APP_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallDir"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${APP_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallMode"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include StrFunc.nsh
!include WinMessages.nsh

; MultiUser.nsh has declared StrStr already.
${Using:StrFunc} UnStrRep

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The PATH of the install mode's environment: the machine's or the user's.
!macro EnvironmentRoot ROOT
  ${If} $MultiUser.InstallMode == "AllUsers"
    StrCpy ${ROOT} HKLM
  ${Else}
    StrCpy ${ROOT} HKCU
  ${EndIf}
!macroend

; The installer's strings hold NSIS_MAX_STRLEN characters: a longer PATH
; would come back cut short, and writing it back would lose the rest. Such
; a PATH is left alone.
!macro PathFits PATH RESULT
  StrLen ${RESULT} ${PATH}
  IntOp ${RESULT} ${RESULT} + 260
  ${If} ${RESULT} < ${NSIS_MAX_STRLEN}
    StrCpy ${RESULT} 1
  ${Else}
    StrCpy ${RESULT} 0
  ${EndIf}
!macroend

!macro OpenWith KEY
  WriteRegStr SHCTX "${KEY}" "" "Open with Tarvel"
  WriteRegStr SHCTX "${KEY}" "Icon" "$INSTDIR\tarvel.exe"
  WriteRegStr SHCTX "${KEY}\command" "" '"$INSTDIR\tarvel.exe" "%1"'
!macroend

Function AddToPath
  Var /GLOBAL root
  Var /GLOBAL path
  Var /GLOBAL fits
  Var /GLOBAL found
  !insertmacro EnvironmentRoot $root
  ${If} $root == HKLM
    ReadRegStr $path HKLM "${SYSTEM_ENV_KEY}" "Path"
  ${Else}
    ReadRegStr $path HKCU "${USER_ENV_KEY}" "Path"
  ${EndIf}
  !insertmacro PathFits $path $fits
  ${If} $fits == 0
    DetailPrint "PATH is too long to change safely; add $INSTDIR to it by hand."
    Return
  ${EndIf}
  ${StrStr} $found ";$path;" ";$INSTDIR;"
  ${If} $found != ""
    Return
  ${EndIf}
  ${If} $path == ""
    StrCpy $path "$INSTDIR"
  ${Else}
    StrCpy $path "$path;$INSTDIR"
  ${EndIf}
  ${If} $root == HKLM
    WriteRegExpandStr HKLM "${SYSTEM_ENV_KEY}" "Path" "$path"
  ${Else}
    WriteRegExpandStr HKCU "${USER_ENV_KEY}" "Path" "$path"
  ${EndIf}
  WriteRegDWORD SHCTX "${APP_KEY}" "OnPath" 1
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
FunctionEnd

Function un.RemoveFromPath
  Var /GLOBAL unRoot
  Var /GLOBAL unPath
  Var /GLOBAL unFits
  Var /GLOBAL unLength
  !insertmacro EnvironmentRoot $unRoot
  ${If} $unRoot == HKLM
    ReadRegStr $unPath HKLM "${SYSTEM_ENV_KEY}" "Path"
  ${Else}
    ReadRegStr $unPath HKCU "${USER_ENV_KEY}" "Path"
  ${EndIf}
  !insertmacro PathFits $unPath $unFits
  ${If} $unFits == 0
    DetailPrint "PATH is too long to change safely; take $INSTDIR out of it by hand."
    Return
  ${EndIf}
  ${UnStrRep} $unPath ";$unPath;" ";$INSTDIR;" ";"
  ; Take off the two separators added above.
  StrCpy $unPath $unPath "" 1
  StrLen $unLength $unPath
  IntOp $unLength $unLength - 1
  StrCpy $unPath $unPath $unLength
  ${If} $unRoot == HKLM
    WriteRegExpandStr HKLM "${SYSTEM_ENV_KEY}" "Path" "$unPath"
  ${ElseIf} $unPath == ""
    ; The user had no PATH of their own before.
    DeleteRegValue HKCU "${USER_ENV_KEY}" "Path"
  ${Else}
    WriteRegExpandStr HKCU "${USER_ENV_KEY}" "Path" "$unPath"
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
FunctionEnd

Section "Tarvel (required)" SecCore
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\tarvel-cli.exe"
  File "${STAGE}\tarvel-import.exe"
!if /FileExists "${STAGE}\tarvel.exe"
  File "${STAGE}\tarvel.exe"
!endif
  File "${STAGE}\README.md"
  SetOutPath "$INSTDIR\licences"
  File "${STAGE}\licences\*.txt"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr SHCTX "${APP_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr SHCTX "${APP_KEY}" "InstallMode" "$MultiUser.InstallMode"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvel-cli.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
!if /FileExists "${STAGE}\tarvel.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Tarvel.lnk" "$INSTDIR\tarvel.exe"
  CreateShortcut "$DESKTOP\Tarvel.lnk" "$INSTDIR\tarvel.exe"
  !insertmacro OpenWith "${OPEN_ASE_KEY}"
  !insertmacro OpenWith "${OPEN_3DO_KEY}"
  WriteRegStr SHCTX "${APPLICATION_KEY}" "FriendlyAppName" "Tarvel"
  WriteRegStr SHCTX "${APPLICATION_KEY}\SupportedTypes" ".ase" ""
  WriteRegStr SHCTX "${APPLICATION_KEY}\SupportedTypes" ".3do" ""
  WriteRegStr SHCTX "${APPLICATION_KEY}\shell\open\command" "" '"$INSTDIR\tarvel.exe" "%1"'
!endif
  ; A console with the tool at hand, whether or not it is on the PATH.
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Tarvel command line.lnk" "$SYSDIR\cmd.exe" \
    '/k "set "PATH=$INSTDIR;%PATH%" && tarvel-cli --help"' "$INSTDIR\tarvel-cli.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall Tarvel.lnk" "$INSTDIR\uninstall.exe"
SectionEnd

Section "Add tarvel-cli to the PATH" SecPath
  Call AddToPath
SectionEnd

; The console of a failed compile stays open until a key is pressed, so the
; message can be read.
Section "Compile to 3DO in the .ase files' context menu" SecContext
  WriteRegStr SHCTX "${CONTEXT_KEY}" "" "Compile to 3DO"
  WriteRegStr SHCTX "${CONTEXT_KEY}" "Icon" "$INSTDIR\tarvel-cli.exe"
  WriteRegStr SHCTX "${CONTEXT_KEY}\command" "" \
    'cmd.exe /c ""$INSTDIR\tarvel-cli.exe" compile "%1" || pause"'
  WriteRegDWORD SHCTX "${APP_KEY}" "ContextMenu" 1
SectionEnd

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Uninstall"
  Var /GLOBAL onPath
  ReadRegDWORD $onPath SHCTX "${APP_KEY}" "OnPath"
  ${If} $onPath == 1
    Call un.RemoveFromPath
  ${EndIf}
  DeleteRegKey SHCTX "${CONTEXT_KEY}"
  DeleteRegKey SHCTX "${OPEN_ASE_KEY}"
  DeleteRegKey SHCTX "${OPEN_3DO_KEY}"
  DeleteRegKey SHCTX "${APPLICATION_KEY}"
  DeleteRegKey /ifempty SHCTX "Software\Classes\SystemFileAssociations\.ase\shell"
  DeleteRegKey /ifempty SHCTX "Software\Classes\SystemFileAssociations\.ase"
  DeleteRegKey /ifempty SHCTX "Software\Classes\SystemFileAssociations\.3do\shell"
  DeleteRegKey /ifempty SHCTX "Software\Classes\SystemFileAssociations\.3do"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  DeleteRegKey SHCTX "${APP_KEY}"

  Delete "$SMPROGRAMS\${PRODUCT}\Tarvel.lnk"
  Delete "$DESKTOP\Tarvel.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Tarvel command line.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall Tarvel.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  ; Only what the installer put there: files the user added stay, and so
  ; does the folder then.
  Delete "$INSTDIR\tarvel-cli.exe"
  Delete "$INSTDIR\tarvel-import.exe"
  Delete "$INSTDIR\tarvel.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\licences\*.txt"
  RMDir "$INSTDIR\licences"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
