# Qt sources of project/, and the offer subcommand of `vorn project` (it paints the PDF)
find_package(Qt6 REQUIRED COMPONENTS Charts)
target_link_libraries(vorngui PUBLIC Qt6::Charts)
target_sources(vorngui PRIVATE
  app/cli/ProjectOfferCommand.cpp
)
target_sources(vorngui PRIVATE
  project/ProjectWindow.cpp
)
