# The command line's subcommands that need no Qt.
target_sources(vorncore PRIVATE
  app/cli/Commands.cpp
  app/cli/DumpCommand.cpp
  app/cli/CalcCommand.cpp
  app/cli/SelectCommand.cpp
  app/cli/SetCommand.cpp
  app/cli/FileCliCommands.cpp
  app/cli/ProjectCommand.cpp
  app/cli/TableCommand.cpp
)
