# Qt sources of app/
target_sources(vorngui PRIVATE
  app/GuiMain.cpp
)
