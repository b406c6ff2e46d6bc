// `orvex list [FILE] [--json]`: the catalogue of a module as the automation objects give
// it. Text shows each type (the TYPE to name it by, its description) and its items (the
// NAME to name them by, the size in bytes); --json mirrors the object model's records and
// members exactly.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <string>

#include "catalogue_client.h"
#include "commands/commands.h"
#include "default_module.h"
#include "listing_json.h"
#include "platform/text/text.h"
#include "resource_data.h"
#include "text_output.h"

namespace orvex::cli {

namespace {

using Json = nlohmann::ordered_json;

std::string Utf8(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

// Display width of UTF-8 text, counting code points.
size_t Width(const std::string& text) {
  return static_cast<size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string Padded(const std::string& text, size_t width) {
  const size_t shown = Width(text);
  return shown >= width ? text : text + std::string(width - shown, ' ');
}

std::string ListingText(const std::string& file, const std::vector<TypeRecord>& types) {
  size_t typeWidth = 4;
  size_t nameWidth = 8;
  size_t itemCount = 0;
  for (const TypeRecord& type : types) {
    typeWidth = std::max(typeWidth, Width(Utf8(TypeArgument(type))));
    for (const ItemRecord& item : type.ResourceItems) {
      nameWidth = std::max(nameWidth, Width(Utf8(NameArgument(item))));
      ++itemCount;
    }
  }
  std::string out = file + ": " + std::to_string(types.size()) +
                    (types.size() == 1 ? " type, " : " types, ") + std::to_string(itemCount) +
                    (itemCount == 1 ? " resource\n" : " resources\n");
  char size[32];
  for (const TypeRecord& type : types) {
    const std::string argument = Utf8(TypeArgument(type));
    const bool named = argument == Utf8(type.NameLong);
    out += Padded(argument, typeWidth) + "  " + (named ? "(named type)" : Utf8(type.NameLong));
    if (!type.Comments.empty()) out += " - " + Utf8(type.Comments);
    out += '\n';
    for (const ItemRecord& item : type.ResourceItems) {
      std::snprintf(size, sizeof size, "%10d", item.Size);
      out += "    " + Padded(Utf8(NameArgument(item)), nameWidth) + size;
      if (item.truncated) out += "  [truncated: data beyond the end of the file]";
      if (!item.Comments.empty()) out += "  " + Utf8(item.Comments);
      out += '\n';
    }
  }
  return out;
}

int ListModule(std::string file, bool json) {
  if (file.empty()) file = DefaultModulePath();
  RegisterClasses();
  CatalogueClient client;
  client.Open(file);
  std::vector<TypeRecord> types =
      client.ReadCatalogue(json ? RecordFields::kAll : RecordFields::kListing);
  MarkTruncated(client.HandleModule(), types);
  if (json) {
    // File names are bytes: anything that is not UTF-8 shows as U+FFFD.
    WriteString(stdout,
                ListingJson(file, types).dump(2, ' ', false, Json::error_handler_t::replace));
    WriteString(stdout, "\n");
  } else {
    WriteString(stdout, ListingText(file, types));
  }
  FinishOutput(stdout, "the listing");
  return 0;
}

}  // namespace

void RegisterListCommand(CLI::App& app, int& exitStatus) {
  CLI::App* command = app.add_subcommand(
      "list", "List the resource types of a module and the resources of each, with sizes");
  auto file = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  command->add_option("FILE", *file,
                      "The PE file (EXE, DLL, ...); without it, the sample module of the build");
  command->add_flag("--json", *json, "Print the catalogue as JSON records");
  command->callback([file, json, &exitStatus] { exitStatus = ListModule(*file, *json); });
}

}  // namespace orvex::cli
