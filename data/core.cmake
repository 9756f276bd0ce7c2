# GUI-free sources of data/
target_sources(vorncore PRIVATE
  data/Value.cpp
  data/DataModule.cpp
  data/CalcRecord.cpp
  data/DbfCreate.cpp
)
