// Parses the command line and runs the chosen command, turning the failures a user must hear
// about into one line on stderr and an exit status.
#pragma once

#include <CLI/CLI.hpp>

namespace orvex::cli {

int RunCli(CLI::App& app, int argc, char** argv, int& exitStatus);

}  // namespace orvex::cli
