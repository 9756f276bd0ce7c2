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
# The workbook needs libxlsxwriter; a Windows build without the cross-built libraries
# (VORN_WINDOWS_XLSX, see refedit/core.cmake) goes without it.
if(NOT WIN32 OR VORN_WINDOWS_XLSX)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
  target_link_libraries(vorncore PUBLIC PkgConfig::XLSXWRITER)
  target_sources(vorncore PRIVATE project/OfferXlsx.cpp)
endif()
