# GUI-free sources of reports/
target_sources(vorncore PRIVATE
  reports/ReportPage.cpp
  reports/HeaderLines.cpp
  reports/ReportPreparation.cpp
  reports/CommonSections.cpp
  reports/CalcReportLayout.cpp
  reports/CalcNoteLayout.cpp
  reports/CalcNoteText.cpp
  reports/SystemsListLayout.cpp
)
