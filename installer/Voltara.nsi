; The Windows installer of AW Voltara FX: the plug-in for 32-bit hosts (and,
; on 64-bit Windows, for 64-bit hosts), the factory content, and the registry
; value through which the plug-in finds that content. installer/build.sh
; builds it with makensis and these definitions:
;   VERSION      the product version, "1.0"
;   FILE_VERSION the same in four parts, "1.0.0.0"
;   DLL32, DLL64 the i686 and x86_64 builds of voltara_fx.dll
;   CONTENT      the content folder (Presets\Default.fxb, Players\Voltara.sty)
;   TEXTS        the folder of ReadMe.txt and License.txt, with Windows line ends
;   OUTFILE      the setup program to write
;
; Silent use (administrators, tests):
;   VoltaraSetup-1.0.exe /S [/PLUGINS=FOLDER] [/PLUGINS64=FOLDER] [/D=CONTENT FOLDER]
; /D= comes last and is not quoted. The setup ends with exit code 0 when it
; installed; 2 when it refused, after saying why on its standard error.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include x64.nsh

!define PRODUCT "AW Voltara FX"
!define PUBLISHER "Quillet / Brenmark"
!define PLUGIN "voltara_fx.dll"
; The key the plug-in reads "Install Path" from, in the registry's 32-bit
; view, which both builds of the plug-in read.
!define PRODUCT_KEY "Software\Brenmark\Axewright Voltara"
!define VENDOR_KEY "Software\Brenmark"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Axewright Voltara"
!define REFUSED 2 ; exit code of a setup that changed nothing

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES32\Brenmark\Axewright Voltara"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

Var PluginDir ; where 32-bit hosts look for plug-ins
Var PluginDir64 ; where 64-bit hosts look for plug-ins; empty on 32-bit Windows
Var InstalledVersion ; of the installation found, or empty
Var InstalledDir ; its content folder
Var InstalledPluginDir
Var InstalledPluginDir64
Var Unwritable ; the first folder (or the registry) the setup could not write

; Pages: the two plug-in folders, the content folder, the work.
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION}, a guitar effect rack for your audio host: the plug-in, its factory bank and the setting through which the plug-in finds the bank.$\r$\n$\r$\nClose your audio host before you go on.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME

!define MUI_PAGE_HEADER_TEXT "Plug-in folder"
!define MUI_PAGE_HEADER_SUBTEXT "Where your audio host looks for plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup puts the plug-in, ${PLUGIN}, into this folder. Choose the folder your audio host scans for 32-bit plug-ins (its preferences list them), or add this one there after installing."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Plug-in folder of 32-bit hosts"
!define MUI_DIRECTORYPAGE_VARIABLE $PluginDir
!insertmacro MUI_PAGE_DIRECTORY

!define MUI_PAGE_HEADER_TEXT "Plug-in folder of 64-bit hosts"
!define MUI_PAGE_HEADER_SUBTEXT "Where your 64-bit audio host looks for plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup puts the plug-in built for 64-bit hosts into this folder. Choose the folder your 64-bit audio host scans for plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Plug-in folder of 64-bit hosts"
!define MUI_DIRECTORYPAGE_VARIABLE $PluginDir64
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipOn32BitWindows
!insertmacro MUI_PAGE_DIRECTORY

!define MUI_PAGE_HEADER_TEXT "Content folder"
!define MUI_PAGE_HEADER_SUBTEXT "Where the factory bank goes."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup puts the factory bank and the plug-in's other content into this folder. Banks of your own may be kept there too: removing or upgrading ${PRODUCT} leaves them."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Content folder"
!insertmacro MUI_PAGE_DIRECTORY

!insertmacro MUI_PAGE_INSTFILES

!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed. Let your audio host scan its plug-in folders again; the rack appears as $\"${PRODUCT}$\"."
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\ReadMe.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Says why the setup stops (a message box; on standard error as well when
; silent, where nobody sees the box) and ends it with nothing changed.
!macro REFUSAL un
Function ${un}Refuse
    Exch $0
    MessageBox MB_ICONSTOP|MB_OK "$0" /SD IDOK
    ${If} ${Silent}
        System::Call 'kernel32::GetStdHandle(i -12) p.r1'
        StrCpy $0 "$0$\r$\n"
        StrLen $2 $0
        System::Call 'kernel32::WriteFile(p r1, m r0, i r2, *i .r3, p 0)'
    ${EndIf}
    SetErrorLevel ${REFUSED}
    Quit
FunctionEnd
!macroend
!insertmacro REFUSAL ""
!insertmacro REFUSAL "un."

!macro Refuse TEXT
    Push "${TEXT}"
    Call Refuse
!macroend

; Refuses while FILE exists but cannot be written: a host that has loaded the
; plug-in holds it.
!macro REFUSE_IF_IN_USE un
Function ${un}RefuseIfInUse
    Exch $0
    Push $1
    ${If} ${FileExists} "$0"
        ClearErrors
        FileOpen $1 "$0" a
        ${If} ${Errors}
            Push "$0 is in use or cannot be written. Close every program that uses ${PRODUCT} (your audio host) and run the setup again."
            Call ${un}Refuse
        ${EndIf}
        FileClose $1
    ${EndIf}
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro REFUSE_IF_IN_USE ""
!insertmacro REFUSE_IF_IN_USE "un."

!macro InUse FILE
    Push "${FILE}"
    Call RefuseIfInUse
!macroend

; The highest folder that creating FOLDER would create, or empty when FOLDER
; exists: the uninstaller removes up to it, and no further.
Function FirstMissing
    Exch $0
    Push $1
    StrCpy $1 ""
    ${Do}
        ${If} $0 == ""
        ${OrIf} ${FileExists} "$0\*.*"
            ${Break}
        ${EndIf}
        StrCpy $1 $0
        ${GetParent} $0 $0
    ${Loop}
    StrCpy $0 $1
    Pop $1
    Exch $0
FunctionEnd

; Removes FOLDER when empty, then each parent up to TOP while empty. Nothing
; when TOP is empty (the folder was there before).
!macro REMOVE_CREATED un
Function ${un}RemoveCreated
    Exch $1 ; top
    Exch
    Exch $0 ; folder
    ${If} $1 != ""
        ${Do}
            RMDir $0
            ${If} $0 == $1
            ${OrIf} $0 == ""
                ${Break}
            ${EndIf}
            ${GetParent} $0 $0
        ${Loop}
    ${EndIf}
    Pop $0
    Pop $1
FunctionEnd
!macroend
!insertmacro REMOVE_CREATED ""
!insertmacro REMOVE_CREATED "un."

!macro RemoveCreated FOLDER TOP
    Push "${FOLDER}"
    Push "${TOP}"
    Call RemoveCreated
!macroend
!macro unRemoveCreated FOLDER TOP
    Push "${FOLDER}"
    Push "${TOP}"
    Call un.RemoveCreated
!macroend

; Makes FOLDER and checks that a file can be written in it. Answers the
; highest folder it made; when it cannot write there, it removes what it made
; and names FOLDER in $Unwritable.
Function PrepareFolder
    Exch $0
    Push $1
    Push $2
    Push $0
    Call FirstMissing
    Pop $1
    ClearErrors
    CreateDirectory "$0"
    FileOpen $2 "$0\voltara-setup.probe" w
    ${If} ${Errors}
        !insertmacro RemoveCreated "$0" "$1"
        StrCpy $Unwritable $0
        StrCpy $1 ""
    ${Else}
        FileClose $2
        Delete "$0\voltara-setup.probe"
    ${EndIf}
    StrCpy $0 $1
    Pop $2
    Pop $1
    Exch $0
FunctionEnd

; The four parts of a file version's two words, as text.
!macro VersionText HIGH LOW RESULT
    IntOp $8 ${HIGH} >> 16
    IntOp $8 $8 & 0xFFFF
    IntOp $9 ${HIGH} & 0xFFFF
    StrCpy $8 "$8.$9"
    IntOp $9 ${LOW} >> 16
    IntOp $9 $9 & 0xFFFF
    StrCpy $8 "$8.$9"
    IntOp $9 ${LOW} & 0xFFFF
    StrCpy ${RESULT} "$8.$9"
!macroend

; Refuses when FOLDER holds a plug-in of a newer version than this setup's.
!macro RefuseIfNewer FOLDER
    ${If} ${FileExists} "${FOLDER}\${PLUGIN}"
        GetDLLVersion "${FOLDER}\${PLUGIN}" $R0 $R1
        !insertmacro VersionText $R0 $R1 $R0
        ${VersionCompare} $R0 "${FILE_VERSION}" $R1
        ${If} $R1 == 1
            !insertmacro Refuse "${FOLDER} holds a newer ${PRODUCT} than this setup (${VERSION}). Remove it first to install ${VERSION}."
        ${EndIf}
    ${EndIf}
!macroend

Function SkipOn32BitWindows
    ${IfNot} ${RunningX64}
        Abort
    ${EndIf}
FunctionEnd

Function .onInit
    SetRegView 32
    ; 32-bit hosts' folder, then 64-bit hosts': the defaults, what the last
    ; installation used, what the command line says.
    StrCpy $PluginDir "$PROGRAMFILES32\Audio Plug-ins"
    ${If} ${RunningX64}
        StrCpy $PluginDir64 "$PROGRAMFILES64\Audio Plug-ins"
    ${EndIf}
    ReadRegStr $InstalledVersion HKLM "${UNINSTALL_KEY}" "DisplayVersion"
    ReadRegStr $InstalledDir HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $InstalledPluginDir HKLM "${UNINSTALL_KEY}" "PluginFolder"
    ReadRegStr $InstalledPluginDir64 HKLM "${UNINSTALL_KEY}" "PluginFolder64"
    ${If} $InstalledPluginDir != ""
        StrCpy $PluginDir $InstalledPluginDir
    ${EndIf}
    ${If} $InstalledPluginDir64 != ""
    ${AndIf} ${RunningX64}
        StrCpy $PluginDir64 $InstalledPluginDir64
    ${EndIf}
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/PLUGINS=" $R1
    ${IfNot} ${Errors}
        StrCpy $PluginDir $R1
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/PLUGINS64=" $R1
    ${IfNot} ${Errors}
    ${AndIf} ${RunningX64}
        StrCpy $PluginDir64 $R1
    ${EndIf}

    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
        !insertmacro Refuse "Installing ${PRODUCT} needs administrator rights: it writes to the plug-in and program folders and to the machine's registry. Run the setup as administrator."
    ${EndIf}
    ${If} $InstalledVersion != ""
        ${VersionCompare} $InstalledVersion "${VERSION}" $0
        ${If} $0 == 1
            !insertmacro Refuse "${PRODUCT} $InstalledVersion, newer than this setup (${VERSION}), is installed in $InstalledDir. Uninstall it first (Apps or Programs and Features) to install ${VERSION}."
        ${EndIf}
    ${EndIf}
FunctionEnd

; Every reason to refuse comes before the first change, so a refused setup
; leaves the machine as it was.
Function CheckBeforeWriting
    ${If} $InstalledDir != ""
    ${AndIf} $InstalledDir != $INSTDIR
        !insertmacro Refuse "${PRODUCT} $InstalledVersion is installed with its content in $InstalledDir. Install into that folder, or uninstall it first."
    ${EndIf}
    !insertmacro RefuseIfNewer "$PluginDir"
    ${If} $PluginDir64 != ""
        !insertmacro RefuseIfNewer "$PluginDir64"
    ${EndIf}
    !insertmacro InUse "$PluginDir\${PLUGIN}"
    ${If} $PluginDir64 != ""
        !insertmacro InUse "$PluginDir64\${PLUGIN}"
    ${EndIf}
    ${If} $InstalledPluginDir != ""
        !insertmacro InUse "$InstalledPluginDir\${PLUGIN}"
    ${EndIf}
    ${If} $InstalledPluginDir64 != ""
        !insertmacro InUse "$InstalledPluginDir64\${PLUGIN}"
    ${EndIf}
FunctionEnd

; What to record as made for FOLDER: what this setup made, else what the last
; installation recorded under NAME when it used the same folder.
!macro RecordMade FOLDER PREVIOUS NAME MADE
    ${If} ${MADE} == ""
    ${AndIf} "${FOLDER}" == "${PREVIOUS}"
        ReadRegStr ${MADE} HKLM "${UNINSTALL_KEY}" "${NAME}"
    ${EndIf}
!macroend

Section "Install"
    SetRegView 32
    Call CheckBeforeWriting
    ; The folders, each checked for writing, then the registry; on the first
    ; that cannot be written, what was made goes again.
    StrCpy $Unwritable ""
    StrCpy $R5 ""
    StrCpy $R6 ""
    Push "$PluginDir"
    Call PrepareFolder
    Pop $R4
    ${If} $Unwritable == ""
    ${AndIf} $PluginDir64 != ""
        Push "$PluginDir64"
        Call PrepareFolder
        Pop $R5
    ${EndIf}
    ${If} $Unwritable == ""
        Push "$INSTDIR"
        Call PrepareFolder
        Pop $R6
    ${EndIf}
    ${If} $Unwritable == ""
        ClearErrors
        WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
        ${If} ${Errors}
            StrCpy $Unwritable "the machine's registry"
        ${EndIf}
    ${EndIf}
    ${If} $Unwritable != ""
        !insertmacro RemoveCreated "$INSTDIR" $R6
        !insertmacro RemoveCreated "$PluginDir64" $R5
        !insertmacro RemoveCreated "$PluginDir" $R4
        !insertmacro Refuse "Setup cannot write to $Unwritable. Choose folders you may write to, or run the setup as administrator."
    ${EndIf}
    !insertmacro RecordMade "$PluginDir" "$InstalledPluginDir" "PluginFolderMade" $R4
    !insertmacro RecordMade "$PluginDir64" "$InstalledPluginDir64" "PluginFolder64Made" $R5
    !insertmacro RecordMade "$INSTDIR" "$InstalledDir" "ContentFolderMade" $R6

    ; A plug-in folder moved since the last installation: the plug-in moves.
    ${If} $InstalledPluginDir != ""
    ${AndIf} $InstalledPluginDir != $PluginDir
        Delete "$InstalledPluginDir\${PLUGIN}"
        ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "PluginFolderMade"
        !insertmacro RemoveCreated "$InstalledPluginDir" $0
    ${EndIf}
    ${If} $InstalledPluginDir64 != ""
    ${AndIf} $InstalledPluginDir64 != $PluginDir64
        Delete "$InstalledPluginDir64\${PLUGIN}"
        ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "PluginFolder64Made"
        !insertmacro RemoveCreated "$InstalledPluginDir64" $0
    ${EndIf}

    SetOverwrite on
    SetOutPath "$PluginDir"
    File "/oname=${PLUGIN}" "${DLL32}"
    ${If} $PluginDir64 != ""
        SetOutPath "$PluginDir64"
        File "/oname=${PLUGIN}" "${DLL64}"
    ${EndIf}
    ; Only the factory files: banks of the user's own in the same folders stay.
    SetOutPath "$INSTDIR\Presets"
    File "${CONTENT}/Presets/Default.fxb"
    SetOutPath "$INSTDIR\Players"
    File "${CONTENT}/Players/Voltara.sty"
    SetOutPath "$INSTDIR"
    File "${TEXTS}/ReadMe.txt"
    File "${TEXTS}/License.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    WriteRegStr HKLM "${PRODUCT_KEY}" "Install Path" "$INSTDIR"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PluginFolder" "$PluginDir"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PluginFolderMade" $R4
    ${If} $PluginDir64 != ""
        WriteRegStr HKLM "${UNINSTALL_KEY}" "PluginFolder64" "$PluginDir64"
        WriteRegStr HKLM "${UNINSTALL_KEY}" "PluginFolder64Made" $R5
    ${EndIf}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "ContentFolderMade" $R6
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    SetRegView 32
    ReadRegStr $PluginDir HKLM "${UNINSTALL_KEY}" "PluginFolder"
    ReadRegStr $PluginDir64 HKLM "${UNINSTALL_KEY}" "PluginFolder64"
    ${If} $PluginDir != ""
        Push "$PluginDir\${PLUGIN}"
        Call un.RefuseIfInUse
    ${EndIf}
    ${If} $PluginDir64 != ""
        Push "$PluginDir64\${PLUGIN}"
        Call un.RefuseIfInUse
    ${EndIf}

    ; What the setup put there, and the folders only when nothing else is in
    ; them: banks the user saved stay, with their folders.
    Delete "$INSTDIR\Presets\Default.fxb"
    Delete "$INSTDIR\Players\Voltara.sty"
    Delete "$INSTDIR\ReadMe.txt"
    Delete "$INSTDIR\License.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR\Presets"
    RMDir "$INSTDIR\Players"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "ContentFolderMade"
    ${If} $0 == ""
        RMDir "$INSTDIR"
    ${Else}
        !insertmacro unRemoveCreated "$INSTDIR" $0
    ${EndIf}

    ; The plug-in folders, in the reverse order of their making: a folder made
    ; for one may hold the other.
    ${If} $PluginDir64 != ""
        Delete "$PluginDir64\${PLUGIN}"
        ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "PluginFolder64Made"
        !insertmacro unRemoveCreated "$PluginDir64" $0
    ${EndIf}

    ${If} $PluginDir != ""
        Delete "$PluginDir\${PLUGIN}"
        ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "PluginFolderMade"
        !insertmacro unRemoveCreated "$PluginDir" $0
    ${EndIf}

    ; The plug-in's setting goes only while it still names this folder.
    ReadRegStr $0 HKLM "${PRODUCT_KEY}" "Install Path"
    ${If} $0 == "$INSTDIR"
    ${OrIf} $0 == "$INSTDIR\"
        DeleteRegValue HKLM "${PRODUCT_KEY}" "Install Path"
    ${EndIf}
    DeleteRegKey /ifempty HKLM "${PRODUCT_KEY}"
    DeleteRegKey /ifempty HKLM "${VENDOR_KEY}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
