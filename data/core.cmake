# GUI-free sources of data/
target_sources(vorncore PRIVATE
  data/Value.cpp
  data/Table.cpp
  data/TableStore.cpp
  data/TableFields.cpp
  data/TableLocate.cpp
  data/TableRewrite.cpp
  data/CompiledFilter.cpp
  data/DbfHeader.cpp
  data/FieldCodec.cpp
  data/FieldIndex.cpp
  data/FileIo.cpp
  data/CodePage.cpp
  data/FilterExpr.cpp
  data/RecordLock.cpp
  data/Journal.cpp
  data/platform/PosixFile.cpp
  data/platform/Win32File.cpp
  data/platform/QuitSignals.cpp
  data/DataModule.cpp
  data/CalcRecord.cpp
  data/DbfCreate.cpp
  data/WorkCopy.cpp
  data/OutputTarget.cpp
)
