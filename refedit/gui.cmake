# Qt sources of refedit/: the window "Справочники" and its grid model.
target_sources(vorngui PRIVATE
  refedit/RefTableModel.cpp
  refedit/RefEditorWindow.cpp
)
