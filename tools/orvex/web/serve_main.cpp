// orvex-serve: the web viewer's server (what `orvex serve` runs).
#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>

#include "commands/commands.h"
#include "run_cli.h"

namespace {

int Main(int argc, char** argv) {
  CLI::App app{"orvex serve: a local web viewer of the modules under PATH and their resources"};
  app.name("orvex serve");
  int exitStatus = 0;
  orvex::cli::AddServeOptions(app, exitStatus);
  return orvex::cli::RunCli(app, argc, argv, exitStatus);
}

}  // namespace

// Failures of the server are reported by RunCli; this catches what setting it up could throw.
int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "orvex serve: %s\n", error.what());
    return 1;
  } catch (...) {
    std::fputs("orvex serve: unexpected failure\n", stderr);
    return 1;
  }
}
