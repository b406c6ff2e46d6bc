// Parses the command line and runs the chosen command, turning the failures a user must hear
// about into one line on stderr and an exit status.
#pragma once

#include <CLI/CLI.hpp>

namespace orvex::cli {

// Exit status: the command's own (0 on success), 1 for a failure, 2 for a usage error (an
// argument or option missing, unknown or unreadable), which prints the command's usage.
int RunCli(CLI::App& app, int argc, char** argv, int& exitStatus);

// `orvex help [COMMAND]`: the application's help, or the command's.
void AddHelpCommand(CLI::App& app);

}  // namespace orvex::cli
