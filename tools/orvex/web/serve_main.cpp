// orvex-serve: the web viewer's server (what `orvex serve` runs).
#include <CLI/CLI.hpp>

#include "commands/commands.h"
#include "run_cli.h"

int main(int argc, char** argv) {
  CLI::App app{"orvex serve: a local web viewer of the modules under PATH and their resources"};
  app.name("orvex serve");
  int exitStatus = 0;
  orvex::cli::AddServeOptions(app, exitStatus);
  return orvex::cli::RunCli(app, argc, argv, exitStatus);
}
