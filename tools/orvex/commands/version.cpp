// `orvex version [FILE]`: the version strings of a module (GetVersionInfo), of the sample
// module when no FILE is named. A module without a version resource gives one message
// instead of the member's reports.
#include <algorithm>
#include <memory>
#include <string>

#include "catalogue_client.h"
#include "cli_error.h"
#include "commands/commands.h"
#include "default_module.h"
#include "platform/module/resource_types.h"
#include "platform/version/version.h"
#include "text_output.h"

namespace orvex::cli {

namespace {

struct VersionArguments {
  std::string file;
  bool raw = false;
};

int Version(const VersionArguments& arguments) {
  const std::string file = arguments.file.empty() ? DefaultModulePath() : arguments.file;
  RegisterClasses();
  CatalogueClient client;
  client.Open(file);
  const std::vector<TypeRecord> types = client.ReadCatalogue(RecordFields::kListing);
  const bool hasVersion = std::any_of(types.begin(), types.end(), [](const TypeRecord& type) {
    return type.Style == RT_VERSION && !type.ResourceItems.empty();
  });
  if (!hasVersion) throw CliError("no version information in " + file);
  WriteText(stdout, client.Call("GetVersionInfo").ToString(),
            arguments.raw ? LineEnds::kAsIs : LineEnds::kLf);
  FinishOutput(stdout, "the text");
  return 0;
}

}  // namespace

void RegisterVersionCommand(CLI::App& app, int& exitStatus) {
  auto arguments = std::make_shared<VersionArguments>();
  CLI::App* command = app.add_subcommand(
      "version", "Print a module's version strings (first translation, eight keys)");
  command->add_option("FILE", arguments->file,
                      "The PE file (EXE, DLL, ...); the sample module when left out");
  command->add_flag("--raw", arguments->raw,
                    "Print GetVersionInfo's text exactly, CR LF line ends kept");
  command->callback([arguments, &exitStatus] { exitStatus = Version(*arguments); });
}

}  // namespace orvex::cli
