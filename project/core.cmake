# GUI-free sources of project/: the project file, its chambers' figures, the summary and the
# offer (its page layout for the report engine, and the workbook).
target_sources(vorncore PRIVATE
  project/ProjectFile.cpp
  project/PriceList.cpp
  project/ChamberLoader.cpp
  project/ProjectSummary.cpp
  project/OfferLayout.cpp
  project/OfferOutput.cpp
)
# The workbook needs libxlsxwriter; the command-line-only cross build for Windows goes
# without it (the offer is a command of the window's build, and there is no MinGW package).
if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
  target_link_libraries(vorncore PUBLIC PkgConfig::XLSXWRITER)
  target_sources(vorncore PRIVATE project/OfferXlsx.cpp)
endif()
