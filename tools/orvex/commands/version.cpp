// `orvex version [FILE]`: the version strings of a module (GetVersionInfo), of the sample
// module when no FILE is named. A file without version information gives one message
// instead of the member's reports.
#include <memory>
#include <string>

#include "catalogue_client.h"
#include "cli_error.h"
#include "commands/commands.h"
#include "default_module.h"
#include "platform/ole/late_bound.h"
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
  DWORD unused = 0;
  if (GetFileVersionInfoSizeA(file.c_str(), &unused) == 0)
    throw CliError("no version information in " + file);
  const ComPtr<IDispatch> catalogue = CreateObject(u"Orvex10.clsQ7ResfResourceTypesA");
  WriteText(stdout, Call(catalogue.Get(), "GetVersionInfo").ToString(),
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
