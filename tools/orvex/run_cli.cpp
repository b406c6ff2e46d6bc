#include "run_cli.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/runtime_error.h"
#include "cli_error.h"

namespace orvex::cli {

namespace {

// The deepest subcommand the command line chose, the application when none, and its name
// as the user types it ("orvex icons").
const CLI::App* ChosenCommand(const CLI::App& app, std::string& name) {
  const CLI::App* command = &app;
  name = app.get_name();
  while (!command->get_subcommands().empty()) {
    command = command->get_subcommands().front();
    name += " " + command->get_name();
  }
  return command;
}

// A usage error: the message, then the chosen command's usage (the application's whole
// help when no command was chosen), on stderr; exit status 2.
int UsageFailure(const CLI::App& app, const std::string& message) {
  std::string name;
  const CLI::App* command = ChosenCommand(app, name);
  // A first word that names no command reads better as such than as the parser's "A
  // subcommand is required".
  const std::vector<std::string> rest = app.remaining();
  if (command == &app && !rest.empty() && !rest.front().starts_with('-')) {
    std::fprintf(stderr, "orvex: unknown command '%s'\n", rest.front().c_str());
  } else {
    std::fprintf(stderr, "orvex: %s\n", message.c_str());
  }
  if (command == &app) {
    std::fputs(app.help().c_str(), stderr);
  } else {
    std::fputs(CLI::Formatter().make_usage(command, name).c_str(), stderr);
    std::fprintf(stderr, "Run '%s --help' for its options.\n", name.c_str());
  }
  return 2;
}

}  // namespace

int RunCli(CLI::App& app, int argc, char** argv, int& exitStatus) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // --help and --version end the parse with exit code 0; everything else is a usage error.
    if (error.get_exit_code() == 0) return app.exit(error);
    return UsageFailure(app, error.what());
  } catch (const UsageError& error) {
    return UsageFailure(app, error.what());
  } catch (const CliError& error) {
    std::fprintf(stderr, "orvex: %s\n", error.what());
    return error.ExitStatus();
  } catch (const RuntimeError& error) {
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

void AddHelpCommand(CLI::App& app) {
  auto topic = std::make_shared<std::string>();
  CLI::App* command =
      app.add_subcommand("help", "Print the commands, or the options of the command named");
  command->add_option("COMMAND", *topic, "The command to describe");
  command->callback([&app, topic] {
    if (topic->empty()) {
      // The application's own help: help() would describe the command chosen, this one.
      std::fputs(
          app.get_formatter()->make_help(&app, app.get_name(), CLI::AppFormatMode::Normal).c_str(),
          stdout);
      return;
    }
    CLI::App* named = nullptr;
    try {
      named = app.get_subcommand(*topic);
    } catch (const CLI::OptionNotFound&) {
      throw UsageError("no command named '" + *topic + "'");
    }
    // A command that hands its arguments to another program lets that program describe them.
    if (named->get_prefix_command()) {
      std::vector<std::string> arguments{"--help"};
      named->parse(arguments);
      return;
    }
    std::fputs(named->help(app.get_name()).c_str(), stdout);
  });
}

}  // namespace orvex::cli
