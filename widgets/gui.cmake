# Qt widgets of the presentation framework
target_sources(vorngui PRIVATE
  widgets/AnimatedIcon.cpp
  widgets/NewsPanel.cpp
)
