# GUI-free sources of project/, and the command line's `vorn project`
find_package(PkgConfig REQUIRED)
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
target_link_libraries(vorncore PUBLIC PkgConfig::XLSXWRITER)
target_sources(vorncore PRIVATE
  project/ProjectFile.cpp
  project/PriceList.cpp
  project/ChamberLoader.cpp
  project/ProjectSummary.cpp
  reports/OfferLayout.cpp
  reports/OfferXlsx.cpp
  app/cli/ProjectCommand.cpp
)
