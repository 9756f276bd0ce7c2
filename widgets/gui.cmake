# Qt widgets of the presentation framework
target_sources(vorngui PRIVATE
  widgets/AnimatedIcon.cpp
  widgets/CalculatorPopup.cpp
  widgets/LookupList.cpp
  widgets/NewsPanel.cpp
  widgets/NumericEdit.cpp
  widgets/TabPages.cpp
)
