// `orvex show FILE TYPE NAME -o OUT.png`: the picture of `orvex picture` shown by the
// catalogue's ShowPicture in a picture box of a host-kit form, and the picture box captured
// as the host's user would see it: the picture with the lines ShowPicture prints over it.
#include <cstdio>
#include <memory>
#include <string>

#include "catalogue_client.h"
#include "cli_error.h"
#include "commands/commands.h"
#include "host/host_kit.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "platform/user/window.h"
#include "platform/user/window_capture.h"
#include "resource_data.h"
#include "resource_kinds.h"

namespace orvex::cli {
namespace {

struct ShowArguments {
  std::string file;
  std::string type;
  std::string name;
  std::string out;
};

int Show(const ShowArguments& arguments) {
  if (ImageFormatOf(arguments.out) != ImageFormat::kPng)
    throw UsageError("cannot write " + arguments.out + ": the capture is written as .png");
  RegisterClasses();
  RegisterHostKitClasses();
  CatalogueClient client;
  client.Open(arguments.file);
  CheckPictureData(client.HandleModule(), arguments.type, arguments.name);
  Variant picture(client.GetPicture(arguments.type, arguments.name, arguments.file));
  ComPtr<IDispatch> form = CreateObject(u"Orvex10Host.Form");
  Variant box = Call(form.Get(), "AddPictureBox");
  client.Call("ShowPicture", {Variant::RefTo(picture), Variant::RefTo(box)});
  const auto hwnd = static_cast<HWND>(GetProperty(box.pdispVal, "hwnd").lVal);
  if (!CaptureWindowToPng(hwnd, arguments.out.c_str())) {
    throw CliError("cannot write " + arguments.out);
  }
  return 0;
}

}  // namespace

void RegisterShowCommand(CLI::App& app, int& exitStatus) {
  auto arguments = std::make_shared<ShowArguments>();
  CLI::App* command = app.add_subcommand(
      "show", "A picture shown by ShowPicture in a picture box, captured as PNG");
  command->add_option("FILE", arguments->file, "The PE file (EXE, DLL, ...)")->required();
  command
      ->add_option("TYPE", arguments->type,
                   "Resource type number or name (1 CURSOR, 2 BITMAP, 3 ICON, 12 GROUP_CURSOR, 14 "
                   "GROUP_ICON)")
      ->required();
  command->add_option("NAME", arguments->name, "Resource name or number")->required();
  command->add_option("-o,--out", arguments->out, "The PNG to write")->required();
  command->callback([arguments, &exitStatus] { exitStatus = Show(*arguments); });
}

}  // namespace orvex::cli
