// `orvex tmp [--empty [--yes]]`: the resource temporary folder C:\Retmpfld\ (through the
// drive mapping): its path and files, or emptied by EmptyResourceTmpFolder. The member
// asks Yes or No: on a terminal the user answers, --yes answers Yes; without a terminal
// and without --yes the answer is No and nothing is deleted.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "catalogue_client.h"
#include "cli_error.h"
#include "commands/commands.h"
#include "platform/fs/fs.h"
#include "platform/user/message_box.h"

namespace orvex::cli {

namespace {

struct TmpArguments {
  bool empty = false;
  bool yes = false;
};

// Asks the box's question on the terminal; anything but y or yes is No.
int AskOnTerminal(const MessageBoxCall& call) {
  std::fprintf(stderr, "%s: %s? [y/N] ", call.caption.c_str(), call.text.c_str());
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) return IDNO;
  return answer == "y" || answer == "Y" || answer == "yes" ? IDYES : IDNO;
}

size_t CountFiles(const std::string& folder) {
  std::error_code error;
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (!entry.is_directory(error)) ++count;
  }
  return count;
}

int Tmp(const TmpArguments& arguments) {
  RegisterClasses();  // failed deletions are reported on stderr
  // A catalogue's start-up creates the folder.
  CatalogueClient catalogue;
  auto folder = MapPath("C:\\Retmpfld");
  if (!folder) throw CliError("no drive folder: " + folder.GetError().message);
  if (!arguments.empty) {
    std::printf("%s\n%zu files\n", folder->c_str(), CountFiles(*folder));
    return 0;
  }
  const size_t before = CountFiles(*folder);
  if (before == 0) {  // the member would only report that nothing matched
    std::printf("no files in %s\n", folder->c_str());
    return 0;
  }
  const bool terminal = ::isatty(STDIN_FILENO) != 0;
  if (!arguments.yes && !terminal)
    throw CliError("not asking without a terminal: add --yes to empty " + *folder, 2);
  MessageBoxHandler previous = SetMessageBoxHandler(
      arguments.yes ? MessageBoxHandler([](const MessageBoxCall&) { return IDYES; })
                    : MessageBoxHandler(&AskOnTerminal));
  catalogue.Call("EmptyResourceTmpFolder");
  SetMessageBoxHandler(std::move(previous));
  std::printf("%zu files deleted from %s\n", before - std::min(before, CountFiles(*folder)),
              folder->c_str());
  return 0;
}

}  // namespace

void RegisterTmpCommand(CLI::App& app, int& exitStatus) {
  auto arguments = std::make_shared<TmpArguments>();
  CLI::App* command =
      app.add_subcommand("tmp", "Show or empty the resource temporary folder C:\\Retmpfld\\");
  command->add_flag("--empty", arguments->empty,
                    "Delete the folder's files (EmptyResourceTmpFolder; asks first)");
  command->add_flag("--yes", arguments->yes, "Answer Yes without asking");
  command->callback([arguments, &exitStatus] { exitStatus = Tmp(*arguments); });
}

}  // namespace orvex::cli
