#include "commands/text_command.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "catalogue_client.h"
#include "cli_error.h"
#include "resource_data.h"
#include "resource_kinds.h"
#include "text_output.h"
#include "text_records.h"

namespace orvex::cli {

namespace {

struct TextArguments {
  std::string file;
  std::string name;
  bool raw = false;
  bool json = false;
};

using Json = nlohmann::ordered_json;

void WriteJson(const Json& json) {
  WriteString(stdout, json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n");
  FinishOutput(stdout, "the JSON");
}

int Run(const TextCommand& command, const TextArguments& arguments) {
  const TextKind& kind = TextKindFor(command.typeNumber);
  const std::string type = std::to_string(command.typeNumber);
  RegisterClasses();
  CatalogueClient client;
  client.Open(arguments.file);
  const LineEnds lineEnds = arguments.raw ? LineEnds::kAsIs : LineEnds::kLf;

  if (!arguments.name.empty()) {
    const ResourceKey key = ParseResourceKey(type, arguments.name);
    if (!client.ReadResource(key))
      throw CliError(NoResourceMessage(kind.what, arguments.name, arguments.file));
    if (arguments.json) {
      WriteJson(TextRecordJson(client, kind, key.resName));
      return 0;
    }
    WriteText(stdout, RenderText(client, kind, key.resName), lineEnds);
    FinishOutput(stdout, "the text");
    return 0;
  }

  std::vector<TypeRecord> records = client.ReadCatalogue(RecordFields::kListing);
  MarkTruncated(client.HandleModule(), records);
  std::vector<std::u16string> names;
  size_t truncated = 0;
  for (const TypeRecord& record : records) {
    if (TypeNumber(record) != command.typeNumber) continue;
    for (const ItemRecord& item : record.ResourceItems) {
      if (item.truncated)
        ++truncated;
      else
        names.push_back(NameArgument(item));
    }
  }
  if (arguments.json) {
    Json all = Json::array();
    for (const std::u16string& name : names) all.push_back(TextRecordJson(client, kind, name));
    WriteJson(all);
  }
  const std::u16string lineEnd = u"\r\n";
  for (size_t i = 0; i < names.size() && !arguments.json; ++i) {
    std::u16string heading = (i == 0 ? u"" : lineEnd) + u"[" + names[i] + u"]" + lineEnd;
    WriteText(stdout, heading, lineEnds);
    WriteText(stdout, RenderText(client, kind, names[i]), lineEnds);
  }
  if (!arguments.json) FinishOutput(stdout, "the text");
  if (truncated == 0) return 0;
  std::fprintf(stderr, "orvex: skipped %zu %s%s: %s\n", truncated, kind.what,
               truncated == 1 ? "" : "s", kDataBeyondEnd);
  return 1;
}

}  // namespace

void RegisterTextCommand(CLI::App& app, int& exitStatus, const TextCommand& command) {
  auto arguments = std::make_shared<TextArguments>();
  CLI::App* sub = app.add_subcommand(command.command, command.description);
  sub->add_option("FILE", arguments->file, "The PE file (EXE, DLL, ...)")->required();
  sub->add_option("NAME", arguments->name,
                  "#NUMBER (#101) or resource name (MAINMENU); every one when left out");
  CLI::Option* raw = sub->add_flag("--raw", arguments->raw,
                                   std::string("Print ") + TextKindFor(command.typeNumber).member +
                                       "'s text exactly, CR LF line ends kept");
  sub->add_flag("--json", arguments->json,
                "Print structured records as JSON: one for NAME, else an array of every one")
      ->excludes(raw);
  sub->callback([arguments, command, &exitStatus] { exitStatus = Run(command, *arguments); });
}

}  // namespace orvex::cli
