# Qt sources of app/
target_sources(vorngui PRIVATE
  app/GuiMain.cpp
  app/MainWindow.cpp
  app/StartScreen.cpp
  app/AdditionalDataDialog.cpp
  app/ToolIcons.cpp
  app/QuitOnSignal.cpp
  app/HelpWindow.cpp
  docs/help.qrc
)
include(${CMAKE_CURRENT_LIST_DIR}/cli/gui.cmake)
