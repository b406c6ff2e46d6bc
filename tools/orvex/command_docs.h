// Shell completion for bash and zsh and the manual page, written from the commands and
// options as the application declares them, so that they cannot fall behind it. The build
// runs the hidden `orvex write-docs DIR` and installs what it writes.
#pragma once

#include <CLI/CLI.hpp>

namespace orvex::cli {

// `orvex write-docs DIR`: DIR/orvex.bash, DIR/_orvex (zsh) and DIR/orvex.1.
void RegisterDocsCommand(CLI::App& app);

}  // namespace orvex::cli
