# GUI-free sources of document/: the open calculation and every edit of it.
target_sources(vorncore PRIVATE
  document/Session.cpp
  document/SessionOpenClose.cpp
  document/SessionRules.cpp
  document/SessionControls.cpp
  document/SessionChecks.cpp
  document/ScreenState.cpp
  document/EditHistory.cpp
  document/ControlState.cpp
  document/ControlTable.cpp
  document/Warnings.cpp
)
