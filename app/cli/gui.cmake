# The command line's subcommands that render through Qt (on the offscreen platform).
target_sources(vorngui PRIVATE
  app/cli/ReportCommand.cpp
  app/cli/ProjectOfferCommand.cpp
)
