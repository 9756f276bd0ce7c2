# GUI-free sources of input/
target_sources(vorncore PRIVATE
  input/ControlTable.cpp
)
