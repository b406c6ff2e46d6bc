// orvex: the command-line client. Subcommands register themselves (commands/commands.h).
#include <CLI/CLI.hpp>

#include "commands/commands.h"

int main(int argc, char** argv) {
  CLI::App app{"orvex: list and read the resources of Windows PE files"};
  app.require_subcommand(1);
  int exitStatus = 0;
  orvex::cli::RegisterResourcesCommand(app, exitStatus);
  CLI11_PARSE(app, argc, argv);
  return exitStatus;
}
