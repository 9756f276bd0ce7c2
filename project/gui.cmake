# Qt sources of project/
find_package(Qt6 REQUIRED COMPONENTS Charts)
target_link_libraries(vorngui PUBLIC Qt6::Charts)
target_sources(vorngui PRIVATE
  project/ProjectWindow.cpp
)
