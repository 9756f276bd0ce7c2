# The Windows installer (CPack's NSIS generator, Debian's nsis): per machine into
# C:\Program Files\Vorn, a Start-menu entry, .vrn and .vrp opened by a double-click with the
# program's icon, bin\ on the machine's PATH, Uninstall.exe, /S for a silent install and
# uninstall. An older version is uninstalled first; the user's data (%APPDATA%\vorn, the
# calculations wherever they lie) are never touched, neither then nor by the uninstaller.
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME Vorn)
set(CPACK_PACKAGE_VENDOR Vorn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${VORN_DESCRIPTION}")
set(CPACK_PACKAGE_FILE_NAME vorn-${PROJECT_VERSION}-win64-setup)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Vorn)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Vorn)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Vorn)
set(CPACK_NSIS_DISPLAY_NAME "Vorn ${PROJECT_VERSION}")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MUI_ICON ${VORN_ICO})
set(CPACK_NSIS_MUI_UNIICON ${VORN_ICO})
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\vorn.exe")
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# the Start-menu entry: bin\vorn.exe named "Vorn"
set(CPACK_PACKAGE_EXECUTABLES vorn Vorn)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY bin)
# PATH through vorn-path.exe (the installer's own PATH functions cut a long PATH short)
set(CPACK_NSIS_MODIFY_PATH OFF)
# A 64-bit installer for the 64-bit program: it writes the registry's 64-bit view, and runs
# where there is no 32-bit Windows layer (a wine64-only Wine, Windows without WOW64).
set(CPACK_NSIS_DEFINES "Target amd64-unicode\n!include '${CMAKE_CURRENT_LIST_DIR}/vorn.nsh'")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "!insertmacro VornInstallExtras")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "!insertmacro VornUninstallExtras")
# the generated script is UTF-8 (one argument: CPack puts a dash before each list element)
set(CPACK_NSIS_EXECUTABLE_PRE_ARGUMENTS "-INPUTCHARSET UTF8")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
include(CPack)
