# Qt sources of reports/
target_sources(vorngui PRIVATE
  reports/ReportPainter.cpp
  reports/ReportPictures.cpp
  reports/ReportPrinting.cpp
  reports/ReportPreviewDialog.cpp
  reports/CalcReport.cpp
  reports/SystemsReport.cpp
)
