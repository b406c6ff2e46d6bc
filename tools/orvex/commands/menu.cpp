// `orvex menu FILE [NAME]`: a menu as an outline, or every menu of the module.
#include "commands/commands.h"
#include "commands/text_command.h"
#include "resource_kinds.h"

namespace orvex::cli {

void RegisterMenuCommand(CLI::App& app, int& exitStatus) {
  RegisterTextCommand(
      app, exitStatus,
      {"menu", "Print a menu as an indented outline of its items and command identifiers",
       kTypeMenu});
}

}  // namespace orvex::cli
