# GUI-free sources of app/
target_sources(vorncore PRIVATE
  app/Commands.cpp
  app/DumpCommand.cpp
  app/Session.cpp
  app/CalcCommand.cpp
  app/SelectCommand.cpp
  app/SetCommand.cpp
  app/FileCopy.cpp
  app/WorkCopy.cpp
  app/OldFileConverter.cpp
  app/Executors.cpp
  app/CalcFolderSetting.cpp
  app/DataLocation.cpp
  app/RecentFiles.cpp
  app/FileCommands.cpp
  app/FileCliCommands.cpp
)
