# GUI-free sources of refedit/: the editable reference tables, value checks, CSV and XLSX.
find_package(PkgConfig REQUIRED)
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
pkg_check_modules(PUGIXML REQUIRED IMPORTED_TARGET pugixml)
target_sources(vorncore PRIVATE
  refedit/RefTables.cpp
  refedit/ValueCheck.cpp
  refedit/Csv.cpp
  refedit/Xlsx.cpp
  refedit/TableTransfer.cpp
)
target_link_libraries(vorncore PUBLIC PkgConfig::XLSXWRITER PkgConfig::LIBZIP PkgConfig::PUGIXML)
