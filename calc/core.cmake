# GUI-free sources of calc/
target_sources(vorncore PRIVATE
  calc/NumberFormat.cpp
  calc/CalcResults.cpp
  calc/CalcSteps.cpp
  calc/Gains.cpp
  calc/AirTableLookup.cpp
  calc/HeatLoadRun.cpp
  calc/Recalculate.cpp
)
