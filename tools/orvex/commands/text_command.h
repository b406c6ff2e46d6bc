// What the text commands (string, messages, menu, accel) share: one resource of a type
// through the catalogue's text member for the type (resource_kinds.h), or, without NAME,
// every resource of the type in the enumeration's order (numbers ascending), each under a
// heading line "[NAME]".
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>

namespace orvex::cli {

struct TextCommand {
  const char* command;      // "string"
  const char* description;  // the subcommand's help text
  uint16_t typeNumber;      // 6: its text kind gives the member and what to call it
};

// Adds `orvex <command> FILE [NAME] [--raw]`.
void RegisterTextCommand(CLI::App& app, int& exitStatus, const TextCommand& command);

}  // namespace orvex::cli
