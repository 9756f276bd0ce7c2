# Qt sources of input/
target_sources(vorngui PRIVATE input/ResultsPanel.cpp)
