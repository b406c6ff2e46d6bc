// `orvex accel FILE [NAME]`: an accelerator table, or every one of the module.
#include "commands/commands.h"
#include "commands/text_command.h"
#include "resource_kinds.h"

namespace orvex::cli {

void RegisterAccelCommand(CLI::App& app, int& exitStatus) {
  RegisterTextCommand(
      app, exitStatus,
      {"accel", "Print an accelerator table: one key combination and command identifier a line",
       kTypeAccelerator});
}

}  // namespace orvex::cli
