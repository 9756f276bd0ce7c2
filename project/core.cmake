# GUI-free sources of project/: the project file, its chambers' figures, the summary and the
# offer (its page layout for the report engine, and the workbook).
find_package(PkgConfig REQUIRED)
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
target_link_libraries(vorncore PUBLIC PkgConfig::XLSXWRITER)
target_sources(vorncore PRIVATE
  project/ProjectFile.cpp
  project/PriceList.cpp
  project/ChamberLoader.cpp
  project/ProjectSummary.cpp
  project/OfferLayout.cpp
  project/OfferXlsx.cpp
)
