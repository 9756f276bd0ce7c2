# GUI-free sources of project/: the project file, its chambers' figures, the summary and the
# offer (its page layout for the report engine, and the workbook).
target_sources(vorncore PRIVATE
  project/ProjectFile.cpp
  project/PriceList.cpp
  project/ChamberLoader.cpp
  project/ProjectSummary.cpp
  project/OfferLayout.cpp
)
# The workbook needs libxlsxwriter; the command-line-only cross build goes without it (the
# offer is a command of the window's build).
find_package(PkgConfig)
if(VORN_BUILD_GUI)
  pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
else()
  pkg_check_modules(XLSXWRITER IMPORTED_TARGET xlsxwriter)
endif()
if(XLSXWRITER_FOUND)
  target_link_libraries(vorncore PUBLIC PkgConfig::XLSXWRITER)
  target_sources(vorncore PRIVATE project/OfferXlsx.cpp)
endif()
