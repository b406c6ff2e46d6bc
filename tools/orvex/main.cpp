// orvex: the command-line client. It drives the library's automation objects by member
// name, as a script host does. Subcommands register themselves (commands/commands.h).
#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>

#include "command_docs.h"
#include "commands/commands.h"
#include "language_option.h"
#include "run_cli.h"

namespace {

int Main(int argc, char** argv) {
  CLI::App app{"orvex: list and read the resources of Windows PE files"};
  app.name("orvex");
  app.require_subcommand(1);
  app.set_version_flag("--version", [] { return "orvex " + orvex::cli::LibraryVersion(); });
  orvex::cli::AddLanguageOption(app);
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
  orvex::cli::RegisterDumpCommand(app, exitStatus);
  orvex::cli::RegisterDialogCommands(app, exitStatus);
  orvex::cli::RegisterServeForwarder(app, argv[0]);
  orvex::cli::RegisterShowCommand(app, exitStatus);
  orvex::cli::RegisterMediaCommands(app, exitStatus);
  orvex::cli::AddHelpCommand(app);
  orvex::cli::RegisterDocsCommand(app);
  // Options of the application, such as --lang, are taken after the command too; `serve`
  // hands every argument after it to the viewer's program.
  for (CLI::App* command : app.get_subcommands({}))
    command->fallthrough(!command->get_prefix_command());
  return orvex::cli::RunCli(app, argc, argv, exitStatus);
}

}  // namespace

// Failures of a command are reported by RunCli; this catches what setting the commands up
// could throw (memory), so that no exception leaves the program unreported.
int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "orvex: %s\n", error.what());
    return 1;
  } catch (...) {
    std::fputs("orvex: unexpected failure\n", stderr);
    return 1;
  }
}
