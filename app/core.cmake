# GUI-free sources of app/
target_sources(vorncore PRIVATE
  app/Commands.cpp
  app/StubCommands.cpp
)
