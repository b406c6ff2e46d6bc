// What the text commands (string, messages, menu, accel) share: one resource of a type
// through the catalogue's text member, or, without NAME, every resource of the type in
// the enumeration's order (numbers ascending), each under a heading line "[NAME]".
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <string>

namespace orvex::cli {

struct TextCommand {
  const char* command;      // "string"
  const char* description;  // the subcommand's help text
  uint16_t typeNumber;      // 6
  const char* member;       // "GetString": takes ResName, returns the text
  const char* what;         // "string table", for messages
};

// Adds `orvex <command> FILE [NAME] [--raw]`.
void RegisterTextCommand(CLI::App& app, int& exitStatus, const TextCommand& command);

}  // namespace orvex::cli
