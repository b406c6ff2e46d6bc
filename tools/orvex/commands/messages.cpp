// `orvex messages FILE [NAME]`: the messages of one message table, or of every one.
#include "commands/commands.h"
#include "commands/text_command.h"
#include "resource_kinds.h"

namespace orvex::cli {

void RegisterMessagesCommand(CLI::App& app, int& exitStatus) {
  RegisterTextCommand(
      app, exitStatus,
      {"messages", "Print a message table: every message with its identifier", kTypeMessageTable});
}

}  // namespace orvex::cli
