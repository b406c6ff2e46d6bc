// `orvex hex|html|data FILE TYPE NAME`: one resource through the catalogue's readers
// (GetHexDump, GetHTML, GetDataArray). Before any reader renders, the client takes the
// resource's bytes with GetDataArray, so a TYPE or NAME that cannot be read, or a resource
// that does not exist, gives one message instead of the readers' reports.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "catalogue_client.h"
#include "cli_error.h"
#include "commands/commands.h"
#include "renderers/hex_dump_lines.h"
#include "text_output.h"

namespace orvex::cli {

namespace {

struct ReadArguments {
  std::string file;
  std::string type;
  std::string name;
  bool raw = false;
  std::string output;  // data: the file to write ("" for stdout)
};

// The opened module and the checked resource: its key and bytes.
struct OpenResource {
  ResourceKey key;
  std::vector<uint8_t> bytes;
};

OpenResource Open(CatalogueClient& client, const ReadArguments& arguments) {
  OpenResource resource{ParseResourceKey(arguments.type, arguments.name), {}};
  client.Open(arguments.file);
  std::optional<std::vector<uint8_t>> bytes = client.ReadResource(resource.key);
  if (!bytes) {
    throw CliError(
        NoResourceMessage("resource of type " + arguments.type, arguments.name, arguments.file));
  }
  resource.bytes = std::move(*bytes);
  return resource;
}

// The dump of every byte in GetHexDump's layout, rendered and written a block of lines at
// a time, for resources past the member's length limit.
void StreamHexDump(std::FILE* out, std::span<const uint8_t> bytes, LineEnds lineEnds) {
  const size_t blockBytes = 4096 * kHexDumpBytesPerLine;
  for (size_t first = 0; first < bytes.size(); first += blockBytes) {
    const size_t count = std::min(blockBytes, bytes.size() - first);
    WriteText(out, RenderHexDump(AsBytes(bytes.data() + first, count), first), lineEnds);
  }
}

int Hex(const ReadArguments& arguments) {
  RegisterClasses();
  CatalogueClient client;
  const OpenResource resource = Open(client, arguments);
  const LineEnds lineEnds = arguments.raw ? LineEnds::kAsIs : LineEnds::kLf;
  const size_t size = resource.bytes.size();
  // An empty resource has no lines; the member would only report that it has no bytes.
  if (size == 0) return 0;
  if (size <= kHexDumpMaxBytes || arguments.raw) {
    WriteText(stdout, client.GetHexDump(resource.key), lineEnds);
    if (size > kHexDumpMaxBytes) {
      std::fprintf(stderr,
                   "orvex: GetHexDump gives blanks for resources over %zu bytes (this one has "
                   "%zu); without --raw orvex prints the whole dump\n",
                   kHexDumpMaxBytes, size);
    }
  } else {
    StreamHexDump(stdout, resource.bytes, lineEnds);
  }
  FinishOutput(stdout, "the dump");
  return 0;
}

// How many characters of a text are control characters other than the line and page breaks
// and tabs that texts hold: bytes of a binary resource read as text.
size_t ControlCharacters(std::u16string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char16_t c) {
    return (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r' && c != u'\f') || c == 0x7F;
  }));
}

int Html(const ReadArguments& arguments) {
  RegisterClasses();
  CatalogueClient client;
  const OpenResource resource = Open(client, arguments);
  const std::u16string text = client.GetHTML(resource.key);
  if (const size_t controls = ControlCharacters(text); controls != 0) {
    const std::string what = "resource " + arguments.type + " " + arguments.name + " is binary (" +
                             std::to_string(controls) + " control characters)";
    // Such bytes would garble a terminal; a pipe or a file gets them as asked.
    if (isatty(fileno(stdout))) {
      throw CliError(what + "; not printed to the terminal: use orvex hex, or orvex data -o FILE");
    }
    std::fprintf(stderr, "orvex: warning: %s\n", what.c_str());
  }
  WriteText(stdout, text, arguments.raw ? LineEnds::kAsIs : LineEnds::kLf);
  FinishOutput(stdout, "the text");
  return 0;
}

int Data(const ReadArguments& arguments) {
  RegisterClasses();
  CatalogueClient client;
  const OpenResource resource = Open(client, arguments);
  const std::vector<uint8_t>& bytes = resource.bytes;
  if (arguments.output.empty()) {
    WriteBytes(stdout, bytes);
    FinishOutput(stdout, "the data");
    return 0;
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(arguments.output.c_str(), "wb"),
                                                       &std::fclose);
  if (!file) throw CliError("cannot write " + arguments.output + ": " + std::strerror(errno));
  WriteBytes(file.get(), bytes);
  FinishOutput(file.get(), arguments.output);
  if (std::fclose(file.release()) != 0) {
    throw CliError("cannot write " + arguments.output + ": " + std::strerror(errno));
  }
  return 0;
}

CLI::App* AddReadCommand(CLI::App& app, const char* name, const char* description,
                         const std::shared_ptr<ReadArguments>& arguments) {
  CLI::App* command = app.add_subcommand(name, description);
  command->add_option("FILE", arguments->file, "The PE file (EXE, DLL, ...)")->required();
  command
      ->add_option("TYPE", arguments->type,
                   "Type number (6, 10), standard type name (STRING, RCDATA) or named type (AVI)")
      ->required();
  command->add_option("NAME", arguments->name, "#NUMBER (#101) or resource name (CONFIG)")
      ->required();
  return command;
}

}  // namespace

void RegisterReadCommands(CLI::App& app, int& exitStatus) {
  auto hex = std::make_shared<ReadArguments>();
  AddReadCommand(app, "hex", "Print a resource as a hex dump (offset, 16 bytes, characters)", hex)
      ->callback([hex, &exitStatus] { exitStatus = Hex(*hex); });
  app.get_subcommand("hex")->add_flag(
      "--raw", hex->raw, "Print GetHexDump's text exactly: CR LF line ends, its length limit");

  auto html = std::make_shared<ReadArguments>();
  AddReadCommand(app, "html", "Print a resource as text (HTML documents, manifests, ...)", html)
      ->callback([html, &exitStatus] { exitStatus = Html(*html); });
  app.get_subcommand("html")->add_flag("--raw", html->raw,
                                       "Print GetHTML's text exactly, CR LF line ends kept");

  auto data = std::make_shared<ReadArguments>();
  AddReadCommand(app, "data", "Write a resource's bytes to stdout or a file", data)
      ->callback([data, &exitStatus] { exitStatus = Data(*data); });
  app.get_subcommand("data")->add_option("-o,--output", data->output,
                                         "Write the bytes to this file instead of stdout");
}

}  // namespace orvex::cli
