# GUI-free sources of input/
target_sources(vorncore PRIVATE
  input/ScreenState.cpp
  input/ControlTable.cpp
)
