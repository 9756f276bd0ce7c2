# Cross-build for 64-bit Windows with Debian's MinGW-w64 (posix threads), e.g.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#     -DVORN_WINDOWS_PREFIXES="QT_PREFIX;LIBS_PREFIX"
# VORN_WINDOWS_PREFIXES names the folders of the Windows builds of Qt and of the libraries
# (packaging/windows/build-deps.sh makes them); without it only the command line builds
# (-DVORN_BUILD_GUI=OFF). Programs built for Windows run under Wine at build and test time
# (cmake/wine-run.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${VORN_WINDOWS_PREFIXES})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VORN_WINDOWS_PREFIXES)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The MinGW runtime is linked shared, as Qt is: libstdc++-6.dll, libgcc_s_seh-1.dll and
# libwinpthread-1.dll go beside the programs (packaging/windows/windows.cmake), and every
# program, Qt's DLLs included, shares one C++ runtime.
# Programs run at build and test time find them (and Qt's DLLs, the libraries') where they
# were built.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
  OUTPUT_VARIABLE vorn_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(vorn_gcc_runtime "${vorn_libstdcxx}" DIRECTORY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh
  --dll-dir=${vorn_gcc_runtime} --dll-dir=/usr/${triple}/lib)
foreach(prefix ${VORN_WINDOWS_PREFIXES})
  list(APPEND CMAKE_CROSSCOMPILING_EMULATOR --dll-dir=${prefix}/bin)
endforeach()
