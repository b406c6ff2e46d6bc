// `orvex serve ...` runs orvex-serve (built beside orvex) with the same arguments.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_error.h"
#include "commands/commands.h"

namespace orvex::cli {
namespace {

// orvex-serve in the folder of this program (found through /proc/self/exe, else argv[0]).
std::string ServerProgram(const char* self) {
  std::error_code error;
  std::filesystem::path me = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) me = self;
  return (me.parent_path() / "orvex-serve").string();
}

}  // namespace

void RegisterServeForwarder(CLI::App& app, const char* self) {
  CLI::App* command = app.add_subcommand(
      "serve",
      "A local web viewer of the modules under PATH and their resources "
      "(orvex serve [PATH] [--port N] [--bind ADDR]; --port 0 picks a free port)");
  command->prefix_command();  // everything after "serve" goes to the server as it is
  // --help too: the server lists its own options.
  command->set_help_flag();
  const std::string program = ServerProgram(self);
  command->callback([command, program] {
    std::vector<std::string> args{program};
    for (const std::string& arg : command->remaining()) args.push_back(arg);
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    throw CliError("cannot run " + program + ": " + std::strerror(errno));
  });
}

}  // namespace orvex::cli
