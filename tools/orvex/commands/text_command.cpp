#include "commands/text_command.h"

#include <memory>
#include <string>
#include <vector>

#include "catalogue_client.h"
#include "cli_error.h"
#include "text_output.h"

namespace orvex::cli {

namespace {

struct TextArguments {
  std::string file;
  std::string name;
  bool raw = false;
};

int Run(const TextCommand& command, const TextArguments& arguments) {
  const std::string type = std::to_string(command.typeNumber);
  RegisterClasses();
  CatalogueClient client;
  client.Open(arguments.file);
  const LineEnds lineEnds = arguments.raw ? LineEnds::kAsIs : LineEnds::kLf;
  const auto render = [&](const std::u16string& resName) {
    return client.Call(command.member, {Variant(resName)}).ToString();
  };

  if (!arguments.name.empty()) {
    const ResourceKey key = ParseResourceKey(type, arguments.name);
    if (!client.ReadResource(key))
      throw CliError(NoResourceMessage(command.what, arguments.name, arguments.file));
    WriteText(stdout, render(key.resName), lineEnds);
    FinishOutput(stdout, "the text");
    return 0;
  }

  std::vector<std::u16string> names;
  for (const TypeRecord& record : client.ReadCatalogue(RecordFields::kListing)) {
    if (record.Style != command.typeNumber) continue;
    for (const ItemRecord& item : record.ResourceItems) names.push_back(NameArgument(item));
  }
  const std::u16string lineEnd = u"\r\n";
  for (size_t i = 0; i < names.size(); ++i) {
    std::u16string heading = (i == 0 ? u"" : lineEnd) + u"[" + names[i] + u"]" + lineEnd;
    WriteText(stdout, heading, lineEnds);
    WriteText(stdout, render(names[i]), lineEnds);
  }
  FinishOutput(stdout, "the text");
  return 0;
}

}  // namespace

void RegisterTextCommand(CLI::App& app, int& exitStatus, const TextCommand& command) {
  auto arguments = std::make_shared<TextArguments>();
  CLI::App* sub = app.add_subcommand(command.command, command.description);
  sub->add_option("FILE", arguments->file, "The PE file (EXE, DLL, ...)")->required();
  sub->add_option("NAME", arguments->name,
                  "#NUMBER (#101) or resource name (MAINMENU); every one when left out");
  sub->add_flag("--raw", arguments->raw,
                std::string("Print ") + command.member + "'s text exactly, CR LF line ends kept");
  sub->callback([arguments, command, &exitStatus] { exitStatus = Run(command, *arguments); });
}

}  // namespace orvex::cli
