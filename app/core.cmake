# GUI-free sources of app/
target_sources(vorncore PRIVATE
  app/FileCopy.cpp
  app/OutputFile.cpp
  app/OldFileConverter.cpp
  app/TemplateRefresh.cpp
  app/Executors.cpp
  app/CalcFolderSetting.cpp
  app/DataLocation.cpp
  app/RecentFiles.cpp
  app/FileCommands.cpp
)
include(${CMAKE_CURRENT_LIST_DIR}/cli/core.cmake)
