# GUI-free sources of refedit/: the editable reference tables, value checks, CSV and XLSX.
target_sources(vorncore PRIVATE
  refedit/RefTables.cpp
  refedit/ValueCheck.cpp
  refedit/Csv.cpp
  refedit/Xlsx.cpp
  refedit/TableTransfer.cpp
  refedit/RowUse.cpp
)
# Excel workbooks through Debian's libxlsxwriter, libzip and pugixml. Debian has no MinGW
# packages of them: the Windows build has them where packaging/windows/build-deps.sh built
# them (VORN_WINDOWS_XLSX, set by ./dev.sh windows), else it reads and writes CSV only.
if(NOT WIN32 OR VORN_WINDOWS_XLSX)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
  pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
  pkg_check_modules(PUGIXML REQUIRED IMPORTED_TARGET pugixml)
  target_link_libraries(vorncore PUBLIC PkgConfig::XLSXWRITER PkgConfig::LIBZIP PkgConfig::PUGIXML)
  set_source_files_properties(refedit/Xlsx.cpp PROPERTIES COMPILE_DEFINITIONS VORN_WITH_XLSX=1)
endif()
