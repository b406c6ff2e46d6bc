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
#include "resource_data.h"
#include "resource_kinds.h"
#include "text_output.h"
#include "text_records.h"

namespace orvex::cli {

namespace {

struct VersionArguments {
  std::string file;
  bool raw = false;
  bool json = false;
};

void WriteVersionJson(const std::string& file) {
  WriteString(stdout, VersionRecordJson(file).dump(
                          2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) +
                          "\n");
  FinishOutput(stdout, "the JSON");
}

int Version(const VersionArguments& arguments) {
  const std::string file = arguments.file.empty() ? DefaultModulePath() : arguments.file;
  RegisterClasses();
  CatalogueClient client;
  client.Open(file);
  std::vector<TypeRecord> types = client.ReadCatalogue(RecordFields::kListing);
  MarkTruncated(client.HandleModule(), types);
  const auto version = std::find_if(types.begin(), types.end(), [](const TypeRecord& type) {
    return TypeNumber(type) == kTypeVersion && !type.ResourceItems.empty();
  });
  if (version == types.end()) throw CliError("no version information in " + file);
  // The member reads the version resource the platform picks; one beyond the end of the
  // file would give a report for every key it looks up.
  if (std::any_of(version->ResourceItems.begin(), version->ResourceItems.end(),
                  [](const ItemRecord& item) { return item.truncated; }))
    throw DataBeyondEndError();
  if (arguments.json) {
    WriteVersionJson(file);
    return 0;
  }
  WriteText(stdout, RenderText(client, TextKindFor(kTypeVersion), u""),
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
  CLI::Option* raw = command->add_flag("--raw", arguments->raw,
                                       "Print GetVersionInfo's text exactly, CR LF line ends kept");
  command
      ->add_flag("--json", arguments->json, "Print the fixed part and every string table as JSON")
      ->excludes(raw);
  command->callback([arguments, &exitStatus] { exitStatus = Version(*arguments); });
}

}  // namespace orvex::cli
