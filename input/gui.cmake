# Qt sources of input/
target_sources(vorngui PRIVATE
  input/ChamberPlan.cpp
  input/InputScreen.cpp
  input/PagePictures.cpp
  input/ResultsPanel.cpp
)
