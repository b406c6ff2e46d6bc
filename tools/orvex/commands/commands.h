// The subcommands of the orvex client. Each adds itself to the application with its
// options and a callback; the callback sets the exit status through the reference given.
#pragma once

#include <CLI/CLI.hpp>

namespace orvex::cli {

// `orvex resources FILE`: one line per resource of the module (type, name, language, size).
void RegisterResourcesCommand(CLI::App& app, int& exitStatus);

}  // namespace orvex::cli
