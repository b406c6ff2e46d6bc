// `orvex save FILE TYPE NAME OUT`: one resource written to a file by the catalogue's
// SaveResDataToFile (OUT may be a POSIX path or a drive-C path such as C:\Retmpfld\x.bin).
// The file is replaced whole, or left as it was when the save fails. The client takes the
// resource's bytes with GetDataArray first, and checks the file against them afterwards,
// so that a failure the member only reports still ends with a non-zero exit status.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "catalogue_client.h"
#include "cli_error.h"
#include "commands/commands.h"
#include "platform/fs/fs.h"
#include "platform/text/text.h"

namespace orvex::cli {

namespace {

struct SaveArguments {
  std::string file;
  std::string type;
  std::string name;
  std::string out;
};

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file),
                              std::istreambuf_iterator<char>());
}

int Save(const SaveArguments& arguments) {
  const ResourceKey key = ParseResourceKey(arguments.type, arguments.name);
  RegisterClasses();
  CatalogueClient client;
  client.Open(arguments.file);
  const std::optional<std::vector<uint8_t>> expected = client.ReadResource(key);
  if (!expected) {
    throw CliError(
        NoResourceMessage("resource of type " + arguments.type, arguments.name, arguments.file));
  }
  // A destination the member cannot write gets one message here instead of the member's
  // report of its run-time error.
  const auto target = MapPath(arguments.out);
  if (!target) throw CliError("cannot save to " + arguments.out + ": " + target.GetError().message);
  const std::filesystem::path folder = std::filesystem::path(*target).parent_path();
  std::error_code error;
  if (!std::filesystem::is_directory(folder.empty() ? "." : folder, error))
    throw CliError("cannot save to " + arguments.out + ": no such folder");
  if (std::filesystem::is_directory(*target, error))
    throw CliError("cannot save to " + arguments.out + ": a folder, not a file");
  if (access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) != 0)
    throw CliError("cannot save to " + arguments.out + ": " + std::strerror(errno));
  Variant out(Utf8ToUtf16(arguments.out));
  client.Call("SaveResDataToFile",
              {Variant::RefTo(out), Variant(key.resType), Variant(key.resName)});

  if (ReadFileBytes(*target) != *expected)
    throw CliError("could not save the resource to " + arguments.out);
  std::fprintf(stderr, "orvex: saved %zu bytes to %s\n", expected->size(), target->c_str());
  return 0;
}

}  // namespace

void RegisterSaveCommand(CLI::App& app, int& exitStatus) {
  auto arguments = std::make_shared<SaveArguments>();
  CLI::App* command =
      app.add_subcommand("save", "Save a resource's bytes to a file (SaveResDataToFile)");
  command->add_option("FILE", arguments->file, "The PE file (EXE, DLL, ...)")->required();
  command
      ->add_option("TYPE", arguments->type,
                   "Type number (6, 10), standard type name (STRING, RCDATA) or named type (AVI)")
      ->required();
  command->add_option("NAME", arguments->name, "#NUMBER (#101) or resource name (CONFIG)")
      ->required();
  command->add_option("OUT", arguments->out, "The file to write (replaced whole)")->required();
  command->callback([arguments, &exitStatus] { exitStatus = Save(*arguments); });
}

}  // namespace orvex::cli
