// `orvex string FILE [NAME]`: the strings of one block (#n holds the identifiers (n - 1) * 16
// to n * 16 - 1), or of every block.
#include "commands/commands.h"
#include "commands/text_command.h"
#include "resource_kinds.h"

namespace orvex::cli {

void RegisterStringCommand(CLI::App& app, int& exitStatus) {
  RegisterTextCommand(
      app, exitStatus,
      {"string", "Print a string-table block, or every block in identifier order", kTypeString});
}

}  // namespace orvex::cli
