# GUI-free sources of selection/
target_sources(vorncore PRIVATE
  selection/Selection.cpp
)
