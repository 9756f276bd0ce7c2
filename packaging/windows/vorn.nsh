; What the installer does beyond copying the files (packaging/windows/cpack.cmake).
; HKLM\Software\Classes and the machine's PATH: the install is per machine.

!macro VornFileType EXT CLASS NAME
  WriteRegStr HKLM "Software\Classes\${EXT}" "" "${CLASS}"
  WriteRegStr HKLM "Software\Classes\${CLASS}" "" "${NAME}"
  WriteRegStr HKLM "Software\Classes\${CLASS}\DefaultIcon" "" "$INSTDIR\bin\vorn.exe,0"
  WriteRegStr HKLM "Software\Classes\${CLASS}\shell\open\command" "" '"$INSTDIR\bin\vorn.exe" "%1"'
!macroend

!macro VornForgetFileType EXT CLASS
  ; the extension is left alone when another program has taken it since
  ReadRegStr $0 HKLM "Software\Classes\${EXT}" ""
  StrCmp $0 "${CLASS}" 0 +2
    DeleteRegKey HKLM "Software\Classes\${EXT}"
  DeleteRegKey HKLM "Software\Classes\${CLASS}"
!macroend

!macro VornInstallExtras
  !insertmacro VornFileType ".vrn" "Vorn.Calculation" "Расчет Vorn"
  !insertmacro VornFileType ".vrp" "Vorn.Project" "Проект Vorn"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\App Paths\vorn.exe" "" "$INSTDIR\bin\vorn.exe"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
  ; "vorn calc FILE" in any console opened from now on
  ExecWait '"$INSTDIR\bin\vorn-path.exe" add "$INSTDIR\bin"' $0
  StrCmp $0 "0" +2
    DetailPrint "PATH не изменен (код $0)"
!macroend

!macro VornUninstallExtras
  ExecWait '"$INSTDIR\bin\vorn-path.exe" remove "$INSTDIR\bin"'
  !insertmacro VornForgetFileType ".vrn" "Vorn.Calculation"
  !insertmacro VornForgetFileType ".vrp" "Vorn.Project"
  DeleteRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\App Paths\vorn.exe"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!macroend
