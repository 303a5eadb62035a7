; Lumetta's installer (NSIS 3). Per machine, under Program Files: the 64-bit program on 64-bit
; Windows, the 32-bit one elsewhere; a Start Menu shortcut and an uninstall entry. A running
; instance is ended before its file is replaced, and the program is started at the end, as the
; user who is logged on, with -install. tools/release.sh builds it:
;
;   makensis -DVERSION=3.2 -DX64_EXE=... -DX86_EXE=... -DLICENSE=... -DOUTFILE=...
;            [-DSIGNER=command] [-DTARGET=amd64-unicode] installer/lumetta.nsi
;
; SIGNER, when given, signs a file in place ("SIGNER file"): the uninstaller before it is packed.
; TARGET amd64-unicode makes a 64-bit installer of the same script, for a Wine without 32-bit
; support; the release ships the x86 one, which runs everywhere.

Unicode true
!ifndef TARGET
  !define TARGET x86-unicode
!endif
Target ${TARGET}

!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh

!define PRODUCT "Lumetta"
!define PUBLISHER "Corvel"
!define HOME_PAGE "https://corvel.example"
!define MAIN_WINDOW_CLASS "Lumetta_MainWnd"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; How long a running instance gets to end after -exit, in 100 ms steps, before it is ended by force.
!define EXIT_WAIT_STEPS 50

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; The installed files get the time of installation, not that of the build machine.
SetDateSave off
ManifestDPIAware true
ShowInstDetails nevershow
ShowUninstDetails nevershow
Icon "${ICON}"
UninstallIcon "${ICON}"
LicenseData "${LICENSE}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!ifdef SIGNER
  !uninstfinalize '${SIGNER} "%1"'
!endif

Page license
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Ends the running instance: -exit through the installed program when there is one, else the
; same request posted to its main window; then waits for the window to go. An instance that
; does not end (hung) is ended by force, so that its file can be replaced or removed.
!macro END_RUNNING_INSTANCE un
Function ${un}EndRunningInstance
  FindWindow $0 "${MAIN_WINDOW_CLASS}" "${PRODUCT}"
  ${If} $0 = 0
    Return
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\lumetta.exe"
    ExecWait '"$INSTDIR\lumetta.exe" -exit'
  ${Else}
    ; WM_INSTANCE_COMMAND (WM_APP + 0x582) with CMD_EXIT, as -exit sends it.
    System::Call 'user32::PostMessageW(p $0, i 0x8582, p 0x100000, p 0)'
  ${EndIf}
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}" "${PRODUCT}"
    ${If} $0 = 0
      Return
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= ${EXIT_WAIT_STEPS}
  nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM lumetta.exe'
  Pop $0
  ; The file is free once the process is gone.
  StrCpy $1 0
  ${Do}
    ClearErrors
    FileOpen $0 "$INSTDIR\lumetta.exe" a
    ${IfNot} ${Errors}
      FileClose $0
      Return
    ${EndIf}
    ${IfNot} ${FileExists} "$INSTDIR\lumetta.exe"
      Return
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= ${EXIT_WAIT_STEPS}
FunctionEnd
!macroend
!insertmacro END_RUNNING_INSTANCE ""
!insertmacro END_RUNNING_INSTANCE "un."

!macro PER_MACHINE
  SetShellVarContext all
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

Function .onInit
  !insertmacro PER_MACHINE
  ; A /D= on the command line has already set the folder.
  ${If} $INSTDIR == ""
    ${If} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES\${PRODUCT}"
    ${EndIf}
  ${EndIf}
FunctionEnd

; The program runs as the user who is logged on, not with the installer's elevated rights: the
; shell (explorer.exe, which runs as that user) opens a shortcut that carries -install. The
; installer waits for the main window, so the shortcut can go afterwards.
Function StartAsUser
  CreateShortcut "$PLUGINSDIR\${PRODUCT}.lnk" "$INSTDIR\lumetta.exe" "-install"
  Exec '"$WINDIR\explorer.exe" "$PLUGINSDIR\${PRODUCT}.lnk"'
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}" "${PRODUCT}"
    ${If} $0 <> 0
      Return
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= ${EXIT_WAIT_STEPS}
FunctionEnd

Section "${PRODUCT}"
  InitPluginsDir
  Call EndRunningInstance
  SetOutPath "$INSTDIR"
  SetOverwrite on
  ${If} ${RunningX64}
    File "/oname=lumetta.exe" "${X64_EXE}"
  ${Else}
    File "/oname=lumetta.exe" "${X86_EXE}"
  ${EndIf}
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\lumetta.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lumetta.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${HOME_PAGE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"

  Call StartAsUser
SectionEnd

Function un.onInit
  !insertmacro PER_MACHINE
FunctionEnd

; Removes what the installer put in place and the autostart value the program writes for the
; user, which would otherwise start a missing file at every logon. The settings key stays.
Section "Uninstall"
  Call un.EndRunningInstance
  Delete "$INSTDIR\lumetta.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
SectionEnd
