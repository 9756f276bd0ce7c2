# Qt sources of selection/
target_sources(vorngui PRIVATE
  selection/CatalogueModel.cpp
  selection/SelectionDialog.cpp
)
