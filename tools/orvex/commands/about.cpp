// `orvex about [--box]`: the library's name, version and description from its application
// object (clsQ7Orvex10A.GetProStdProperties); --box also shows the About box through the
// framework component (clsQ7Orvex10A.About).
#include <cstdio>
#include <memory>
#include <string>

#include "catalogue_client.h"
#include "commands/commands.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"

namespace orvex::cli {

namespace {

std::string Text(IDispatch* object, const char* member) {
  return Utf16ToUtf8(GetProperty(object, member).ToString());
}

std::string VersionOf(IDispatch* app) {
  return Text(app, "ProductName") + " " + std::to_string(GetProperty(app, "Major").ToLong()) + "." +
         std::to_string(GetProperty(app, "Minor").ToLong()) + "." +
         std::to_string(GetProperty(app, "Revision").ToLong());
}

int About(bool box) {
  RegisterClasses();
  ComPtr<IDispatch> self = CreateObject(u"Orvex10.clsQ7Orvex10A");
  ComPtr<IDispatch> app = GetProperty(self.Get(), "GetProStdProperties").ToDispatch();
  std::printf("%s\n%s\n", VersionOf(app.Get()).c_str(), Text(app.Get(), "FileDescription").c_str());
  if (box) Call(self.Get(), "About");
  return 0;
}

}  // namespace

std::string LibraryVersion() {
  RegisterClasses();
  ComPtr<IDispatch> self = CreateObject(u"Orvex10.clsQ7Orvex10A");
  return VersionOf(GetProperty(self.Get(), "GetProStdProperties").ToDispatch().Get());
}

void RegisterAboutCommand(CLI::App& app, int& exitStatus) {
  auto box = std::make_shared<bool>(false);
  CLI::App* command = app.add_subcommand("about", "Show the library's name and version");
  command->add_flag("--box", *box, "Also show the About box (through the framework component)");
  command->callback([box, &exitStatus] { exitStatus = About(*box); });
}

}  // namespace orvex::cli
