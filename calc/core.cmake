# GUI-free sources of calc/
target_sources(vorncore PRIVATE
  calc/NumberFormat.cpp
  calc/CalcResults.cpp
)
