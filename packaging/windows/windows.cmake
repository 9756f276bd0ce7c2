# The Windows build (cmake/mingw-w64.cmake): vorn.exe, the window (GUI subsystem), and
# vorn.com, the same program in a console for the command line, with the program's icon
# and version information; what goes beside them when installed; the installer (CPack's
# NSIS generator) and the portable zip (packaging/windows/make-packages.sh).
#
# Installed layout, as on Linux:
#   bin/                 vorn.exe, vorn.com, the DLLs (Qt, MinGW runtime, XLSX libraries),
#                        Qt's plugins, translations/, fonts/, qt.conf, vorn-path.exe
#   share/vorn/DATA/     the installed tables, copied into %APPDATA%\vorn\DATA at first start
#   share/vorn/doc/      the user guide and the licences
set(VORN_VENDOR "ООО «Ворн-Холод»")
set(VORN_DESCRIPTION "Vorn: теплобаланс холодильной камеры и подбор оборудования")
string(REPLACE "." ";" vorn_version_parts "${PROJECT_VERSION}.0.0")
list(GET vorn_version_parts 0 vorn_v0)
list(GET vorn_version_parts 1 vorn_v1)
math(EXPR vorn_v1 "${vorn_v1}") # 05 -> 5
set(VORN_RC_VERSION "${vorn_v0},${vorn_v1},0,0")

# CommandLineToArgvW (the arguments in UTF-16)
target_link_libraries(vorncore PUBLIC shell32)

# The icon, from the drawing the Linux package installs, in the sizes Explorer asks for.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_package(Python3 COMPONENTS Interpreter REQUIRED)
set(vorn_svg ${CMAKE_SOURCE_DIR}/packaging/vorn.svg)
set(VORN_ICO ${CMAKE_BINARY_DIR}/icons/vorn.ico)
set(vorn_pngs)
foreach(size 16 24 32 48 64 256)
  list(APPEND vorn_pngs ${CMAKE_BINARY_DIR}/icons/vorn-${size}.png)
endforeach()
add_custom_command(OUTPUT ${VORN_ICO}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons
  COMMAND ${RSVG_CONVERT} -w 16 -h 16 ${vorn_svg} -o ${CMAKE_BINARY_DIR}/icons/vorn-16.png
  COMMAND ${RSVG_CONVERT} -w 24 -h 24 ${vorn_svg} -o ${CMAKE_BINARY_DIR}/icons/vorn-24.png
  COMMAND ${RSVG_CONVERT} -w 32 -h 32 ${vorn_svg} -o ${CMAKE_BINARY_DIR}/icons/vorn-32.png
  COMMAND ${RSVG_CONVERT} -w 48 -h 48 ${vorn_svg} -o ${CMAKE_BINARY_DIR}/icons/vorn-48.png
  COMMAND ${RSVG_CONVERT} -w 64 -h 64 ${vorn_svg} -o ${CMAKE_BINARY_DIR}/icons/vorn-64.png
  COMMAND ${RSVG_CONVERT} -w 256 -h 256 ${vorn_svg} -o ${CMAKE_BINARY_DIR}/icons/vorn-256.png
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/make-ico.py ${VORN_ICO} ${vorn_pngs}
  DEPENDS ${vorn_svg} ${CMAKE_CURRENT_LIST_DIR}/make-ico.py VERBATIM)
add_custom_target(vorn_ico DEPENDS ${VORN_ICO})

# vorn_windows_resources(TARGET FILE-NAME): the icon and the version information.
function(vorn_windows_resources target file_name)
  set(VORN_FILE_NAME ${file_name})
  set(rc ${CMAKE_BINARY_DIR}/rc/${target}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/vorn.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${VORN_ICO})
  target_sources(${target} PRIVATE ${rc})
  add_dependencies(${target} vorn_ico)
endfunction()

if(TARGET vorngui)
  # A double-click opens the window without a console; "vorn ..." typed in a console finds
  # vorn.com first (PATHEXT) and writes there.
  set_target_properties(vorn PROPERTIES WIN32_EXECUTABLE ON)
  vorn_windows_resources(vorn vorn.exe)
  add_executable(vorn_console ${CMAKE_SOURCE_DIR}/desktop/main.cpp)
  target_link_libraries(vorn_console PRIVATE vorngui)
  set_target_properties(vorn_console PROPERTIES OUTPUT_NAME vorn SUFFIX .com
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  add_dependencies(vorn_console vorn_data)
  vorn_windows_resources(vorn_console vorn.com)
else()
  # the command line alone: vorn.exe is the console program
  vorn_windows_resources(vorn vorn.exe)
endif()

add_executable(vorn_path ${CMAKE_CURRENT_LIST_DIR}/vorn-path.cpp)
target_link_options(vorn_path PRIVATE -municode)
set_target_properties(vorn_path PROPERTIES OUTPUT_NAME vorn-path)

# What goes beside the programs.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
  OUTPUT_VARIABLE vorn_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(vorn_gcc_dir ${vorn_libstdcxx} DIRECTORY)
set(vorn_mingw_lib /usr/x86_64-w64-mingw32/lib)
set(vorn_dlls ${vorn_gcc_dir}/libstdc++-6.dll ${vorn_gcc_dir}/libgcc_s_seh-1.dll
  ${vorn_mingw_lib}/libwinpthread-1.dll)
if(VORN_WINDOWS_XLSX)
  # libxlsxwriter, libzip and pugixml where build-deps.sh built them; zlib from Debian
  foreach(lib xlsxwriter zip pugixml)
    set(dll)
    foreach(prefix ${VORN_WINDOWS_PREFIXES})
      if(NOT dll AND EXISTS ${prefix}/bin/lib${lib}.dll)
        set(dll ${prefix}/bin/lib${lib}.dll)
      endif()
    endforeach()
    if(NOT dll)
      message(FATAL_ERROR "lib${lib}.dll is in none of VORN_WINDOWS_PREFIXES")
    endif()
    list(APPEND vorn_dlls ${dll})
  endforeach()
  list(APPEND vorn_dlls ${vorn_mingw_lib}/zlib1.dll)
endif()

install(TARGETS vorn vorn_path RUNTIME DESTINATION bin)
install(FILES ${vorn_dlls} DESTINATION bin)
install(DIRECTORY ${CMAKE_BINARY_DIR}/DATA/ DESTINATION share/vorn/DATA)
install(FILES ${CMAKE_SOURCE_DIR}/docs/guide.md ${CMAKE_SOURCE_DIR}/packaging/copyright
  DESTINATION share/vorn/doc)

if(TARGET vorngui)
  install(TARGETS vorn_console RUNTIME DESTINATION bin)
  get_filename_component(vorn_qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
  foreach(module Core Gui Widgets PrintSupport)
    install(FILES ${vorn_qt_prefix}/bin/Qt6${module}.dll DESTINATION bin)
  endforeach()
  # The plugins the program loads: the Windows platform and offscreen (vorn.com report),
  # the Windows styles, print support where Qt has it as a plugin, the image formats.
  set(plugins ${vorn_qt_prefix}/plugins)
  install(FILES ${plugins}/platforms/qwindows.dll ${plugins}/platforms/qoffscreen.dll
    DESTINATION bin/platforms)
  foreach(kind styles printsupport imageformats)
    if(EXISTS ${plugins}/${kind})
      install(DIRECTORY ${plugins}/${kind}/ DESTINATION bin/${kind} FILES_MATCHING PATTERN "*.dll")
    endif()
  endforeach()
  # Russian standard dialogs: Qt's catalogue from Debian's qt6-translations-l10n, the same
  # file on every platform.
  find_file(VORN_QTBASE_RU qtbase_ru.qm PATHS /usr/share/qt6/translations NO_CMAKE_FIND_ROOT_PATH
    NO_DEFAULT_PATH REQUIRED)
  install(FILES ${VORN_QTBASE_RU} DESTINATION bin/translations)
  # Liberation Sans, which the reports name, registered by the program at start (GuiMain)
  file(GLOB vorn_fonts /usr/share/fonts/truetype/liberation/LiberationSans-*.ttf)
  if(NOT vorn_fonts)
    message(FATAL_ERROR "Liberation Sans not found: install fonts-liberation")
  endif()
  install(FILES ${vorn_fonts} DESTINATION bin/fonts)
  install(FILES /usr/share/doc/fonts-liberation/copyright DESTINATION share/vorn/doc
    RENAME fonts-liberation-copyright OPTIONAL)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/qt.conf DESTINATION bin)
endif()

# Stripped as installed: the DLLs come with their symbols (libstdc++ alone is 23 MB).
install(CODE "
  file(GLOB_RECURSE vorn_binaries \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/*.dll\"
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/*.exe\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/*.com\")
  foreach(f \${vorn_binaries})
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${f}\" RESULT_VARIABLE rc)
    if(rc)
      message(FATAL_ERROR \"strip failed: \${f}\")
    endif()
  endforeach()
")

include(${CMAKE_CURRENT_LIST_DIR}/cpack.cmake)
