; Zekerpad-setup.exe: installs Zekerpad for all users of the computer.
;
; Built by the CMake build (installer/CMakeLists.txt), which passes:
;   ZK_VERSION  the program's version ("1.0")
;   ZK_EXE      the built Zekerpad.exe
;   ZK_MANUAL   handleiding.html
;   ZK_ICON     the program's icon
;   ZK_OUTFILE  where Zekerpad-setup.exe goes
;   ZK_UPGRADE_CODE  the upgrade code of Zekerpad's MSI package
;
; Zekerpad keeps its log in c:\Zekerpad.log and its settings in
; Zekerpad.INI in the Windows folder, and cannot be told otherwise. A
; standard user of Windows Vista or later may create neither, and a 64-bit
; program gets no file virtualisation, so without help it would silently
; run without a log and forget the chosen show. Running elevated anyway,
; the installer creates the two files when they are missing and lets the
; local Users group modify those two files, and nothing else. The
; uninstaller leaves both: they hold the user's own history and choices.

!macro ZK_REQUIRE NAME
  !ifndef ${NAME}
    !error "${NAME} is not defined: build Zekerpad-setup.exe through CMake, which passes it."
  !endif
!macroend
!insertmacro ZK_REQUIRE ZK_VERSION
!insertmacro ZK_REQUIRE ZK_EXE
!insertmacro ZK_REQUIRE ZK_MANUAL
!insertmacro ZK_REQUIRE ZK_ICON
!insertmacro ZK_REQUIRE ZK_OUTFILE
!insertmacro ZK_REQUIRE ZK_UPGRADE_CODE

Unicode true
; A 64-bit installer for a 64-bit program: $PROGRAMFILES64, the 64-bit
; registry and System32 without redirection.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin

!define ZK_NAME "Zekerpad"
!define ZK_UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zekerpad"
; "Controleren met Zekerpad" in the right-click menu of every .ws4 file,
; whichever program opens it: Wings' own association stays untouched.
!define ZK_VERB_KEY "Software\Classes\SystemFileAssociations\.ws4\shell\Zekerpad"
!define ZK_LOG "C:\Zekerpad.log"
!define ZK_INI "$WINDIR\Zekerpad.INI"
; BUILTIN\Users by its well-known SID, so icacls finds the group whatever
; the language of Windows ("Gebruikers", "Users", "Benutzer" ...).
!define ZK_USERS_SID "*S-1-5-32-545"

Name "${ZK_NAME} ${ZK_VERSION}"
OutFile "${ZK_OUTFILE}"
InstallDir "$PROGRAMFILES64\${ZK_NAME}"
; A new version goes where the earlier one is.
InstallDirRegKey HKLM "${ZK_UNINST_KEY}" "InstallLocation"
BrandingText "${ZK_NAME} ${ZK_VERSION}"
ShowInstDetails show
ShowUninstDetails show

; No copyright holder is named in the version information: none is known.
!pragma warning disable 9100
VIProductVersion "${ZK_VERSION}.0.0"
VIAddVersionKey /LANG=1043 "ProductName" "${ZK_NAME}"
VIAddVersionKey /LANG=1043 "FileDescription" "Installatieprogramma van ${ZK_NAME}"
VIAddVersionKey /LANG=1043 "FileVersion" "${ZK_VERSION}"
VIAddVersionKey /LANG=1043 "ProductVersion" "${ZK_VERSION}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${ZK_ICON}"
!define MUI_UNICON "${ZK_ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Dit programma installeert ${ZK_NAME} ${ZK_VERSION} op deze computer, voor alle gebruikers.$\r$\n$\r$\n\
${ZK_NAME} vertelt hoe 'back-up-veilig' een Wings-show is, en herstelt wat het kan.$\r$\n$\r$\n\
Behalve het programma en de handleiding maakt de installatie het logboek ${ZK_LOG} en het instellingenbestand Zekerpad.INI in de Windows-map aan (alleen als ze nog niet bestaan), en geeft de groep Gebruikers het recht die twee bestanden te wijzigen. Zo kan ${ZK_NAME} zijn logboek en instellingen bijhouden, ook voor een gebruiker zonder beheerdersrechten. Andere bestanden en rechten blijven zoals ze zijn.$\r$\n$\r$\n\
Klik op Volgende om verder te gaan."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${ZK_NAME} is geïnstalleerd. U vindt het in het menu Start.$\r$\n$\r$\n\
De handleiding opent met de knop Help of de toets F1 in het programma."
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Dutch"

Function .onInit
  SetRegView 64
  SetShellVarContext all
  ; Two installations in one folder would remove each other's files: the
  ; MSI package's installation goes first.
  System::Call 'msi::MsiEnumRelatedProductsW(w "{${ZK_UPGRADE_CODE}}", i 0, i 0, w .r1) i .r0'
  ${If} $0 == 0
    MessageBox MB_OK|MB_ICONSTOP "${ZK_NAME} is al geïnstalleerd met het MSI-pakket. Verwijder die installatie eerst (in Windows 10 en 11: Instellingen, Apps; in Windows 7: Configuratiescherm, Programma's en onderdelen), en start dan dit installatieprogramma opnieuw." /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

; What to do when the log or the settings could not be prepared: the
; program itself works, only a standard user could then not keep a log or
; settings. Said in the details and in a message (which a silent
; installation answers by itself), and the installation goes on.
!define ZK_BY_HAND "$\r$\n$\r$\n${ZK_NAME} werkt wel, maar kan dan voor een gebruiker zonder beheerdersrechten geen logboek en geen instellingen bijhouden. Hoe u dit als beheerder met de hand regelt, staat in de handleiding, in het deel 'Zekerpad gebruiken zonder installatieprogramma'."
!macro ZK_WARN TEXT
  DetailPrint "${TEXT}"
  MessageBox MB_OK|MB_ICONEXCLAMATION "${TEXT}${ZK_BY_HAND}" /SD IDOK
!macroend

; Lets the local Users group modify one file.
!macro ZK_GRANT_USERS FILE
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "${FILE}" /grant "${ZK_USERS_SID}:(M)"'
  Pop $0
  ${If} $0 != 0
    !insertmacro ZK_WARN "De rechten van ${FILE} konden niet worden aangepast (icacls: $0)."
  ${EndIf}
!macroend

Section "Zekerpad" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${ZK_EXE}"
  File "${ZK_MANUAL}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${ZK_NAME}.lnk" "$INSTDIR\Zekerpad.exe" "" "$INSTDIR\Zekerpad.exe" 0 \
    SW_SHOWNORMAL "" "Hoe back-up-veilig is uw Wings-show?"

  WriteRegStr HKLM "${ZK_VERB_KEY}" "" "Controleren met Zekerpad"
  WriteRegStr HKLM "${ZK_VERB_KEY}\command" "" '"$INSTDIR\Zekerpad.exe" "%1"'

  ; Add/Remove Programs. No publisher is named: none is known.
  WriteRegStr HKLM "${ZK_UNINST_KEY}" "DisplayName" "${ZK_NAME}"
  WriteRegStr HKLM "${ZK_UNINST_KEY}" "DisplayVersion" "${ZK_VERSION}"
  WriteRegStr HKLM "${ZK_UNINST_KEY}" "DisplayIcon" "$INSTDIR\Zekerpad.exe,0"
  WriteRegStr HKLM "${ZK_UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${ZK_UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${ZK_UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${ZK_UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${ZK_UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${ZK_UNINST_KEY}" "EstimatedSize" "$0"

  ; The log: append mode creates it when absent and never truncates it.
  FileOpen $0 "${ZK_LOG}" a
  ${If} $0 == ""
    !insertmacro ZK_WARN "Het logboek ${ZK_LOG} kon niet worden aangemaakt."
  ${Else}
    FileClose $0
  ${EndIf}

  ; The settings: only when there are none yet. The user's own choices in
  ; an existing file are never touched.
  ${IfNot} ${FileExists} "${ZK_INI}"
    WriteINIStr "${ZK_INI}" "Zekerpad" "ShowBestand" ""
    WriteINIStr "${ZK_INI}" "Zekerpad" "SubmapAudio" "Audio"
    WriteINIStr "${ZK_INI}" "Zekerpad" "SubmapPlaatjes" "Plaatjes"
    WriteINIStr "${ZK_INI}" "Zekerpad" "SubmapOverige" "Overige"
    FlushINI "${ZK_INI}"
  ${EndIf}

  ; Whoever hands out the program can name where its users turn:
  ; Zekerpad-setup.exe /S /CONTACT="Club|e-mail|adres|plaats|telefoon"
  ; (five lines, separated by |). Written only where the settings hold no
  ; contact lines yet; existing ones stay as they are.
  ClearErrors
  ${GetOptions} $CMDLINE "/CONTACT=" $R0
  ${IfNot} ${Errors}
  ${AndIf} $R0 != ""
    ClearErrors
    ReadINIStr $R1 "${ZK_INI}" "Zekerpad" "Contact"
    ${If} ${Errors}
      WriteINIStr "${ZK_INI}" "Zekerpad" "Contact" $R0
      FlushINI "${ZK_INI}"
    ${EndIf}
  ${EndIf}

  ${If} ${FileExists} "${ZK_LOG}"
    !insertmacro ZK_GRANT_USERS "${ZK_LOG}"
  ${EndIf}
  ${If} ${FileExists} "${ZK_INI}"
    !insertmacro ZK_GRANT_USERS "${ZK_INI}"
  ${EndIf}
SectionEnd

Section "Uninstall"
  ; Only what the installer put there; the log and the settings stay. A
  ; program still running is removed when Windows next starts.
  Delete /REBOOTOK "$INSTDIR\Zekerpad.exe"
  Delete "$INSTDIR\handleiding.html"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  Delete "$SMPROGRAMS\${ZK_NAME}.lnk"
  DeleteRegKey HKLM "${ZK_UNINST_KEY}"
  DeleteRegKey HKLM "${ZK_VERB_KEY}"
SectionEnd
