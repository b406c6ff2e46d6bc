// orvex: the command-line client. It drives the library's automation objects by member
// name, as a script host does. Subcommands register themselves (commands/commands.h).
#include <CLI/CLI.hpp>

#include <cstdio>
#include <stdexcept>

#include "base/runtime_error.h"
#include "cli_error.h"
#include "commands/commands.h"

int main(int argc, char** argv) {
  CLI::App app{"orvex: list and read the resources of Windows PE files"};
  app.require_subcommand(1);
  int exitStatus = 0;
  orvex::cli::RegisterListCommand(app, exitStatus);
  orvex::cli::RegisterReadCommands(app, exitStatus);
  orvex::cli::RegisterScanCommand(app, exitStatus);
  orvex::cli::RegisterResourcesCommand(app, exitStatus);
  orvex::cli::RegisterStringCommand(app, exitStatus);
  orvex::cli::RegisterMessagesCommand(app, exitStatus);
  orvex::cli::RegisterVersionCommand(app, exitStatus);
  orvex::cli::RegisterMenuCommand(app, exitStatus);
  orvex::cli::RegisterAccelCommand(app, exitStatus);
  orvex::cli::RegisterSaveCommand(app, exitStatus);
  orvex::cli::RegisterTmpCommand(app, exitStatus);
  orvex::cli::RegisterAboutCommand(app, exitStatus);
  orvex::cli::RegisterPictureCommand(app, exitStatus);
  orvex::cli::RegisterIconsCommand(app, exitStatus);
  orvex::cli::RegisterDialogCommands(app, exitStatus);
  orvex::cli::RegisterServeCommand(app, exitStatus);
  orvex::cli::RegisterShowCommand(app, exitStatus);
  orvex::cli::RegisterMediaCommands(app, exitStatus);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error);
  } catch (const orvex::cli::CliError& error) {
    std::fprintf(stderr, "orvex: %s\n", error.what());
    return error.ExitStatus();
  } catch (const orvex::RuntimeError& error) {
    // A member's error: the library's number, description and source.
    std::fprintf(stderr, "orvex: %s%serror %d: %s\n", error.Source().c_str(),
                 error.Source().empty() ? "" : ": ", error.Number(), error.Description().c_str());
    return 1;
  } catch (const std::runtime_error& error) {
    // A host helper's failure (an image that cannot be read back or written).
    std::fprintf(stderr, "orvex: %s\n", error.what());
    return 1;
  }
  return exitStatus;
}
