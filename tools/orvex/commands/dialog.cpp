// `orvex dialog FILE NAME [--json] [-o OUT.png|OUT.svg] [--with-host] [--no-placeholders]` and
// `orvex dialogs FILE -o DIR [--svg] [--no-placeholders]`: dialog templates previewed by the
// catalogue's ShowDialog in a host-kit form (800 × 600, a picture box at 30,40 of 200 × 100
// pixels), the preview found as the host finds it and described or captured. Controls of
// classes the program registers when it runs are drawn as placeholders unless told not to.
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue_client.h"
#include "cli_error.h"
#include "commands/commands.h"
#include "dialog_host.h"
#include "host/host_kit.h"
#include "output_folder.h"
#include "platform/module/resource_types.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "platform/user/dialog.h"
#include "platform/user/window.h"
#include "platform/user/window_capture.h"
#include "progress_bar.h"
#include "resource_data.h"
#include "resource_kinds.h"

namespace orvex::cli {
namespace {

using Json = nlohmann::ordered_json;

struct DialogArguments {
  std::string file;
  std::string name;
  bool json = false;
  std::string out;
  bool withHost = false;
  bool noPlaceholders = false;
};

struct DialogsArguments {
  std::string file;
  std::string out;
  bool svg = false;
  bool noPlaceholders = false;
};

std::string Hex8(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(value));
  return text;
}

// The note for a preview drawn with placeholders.
void NotePlaceholders(const std::string& name, const std::vector<std::string>& placeholders) {
  if (placeholders.empty()) return;
  std::string list;
  for (const std::string& windowClass : placeholders)
    list += (list.empty() ? "" : ", ") + windowClass;
  std::fprintf(
      stderr,
      "orvex: dialog %s: %s drawn as placeholder%s (registered by the program when it runs)\n",
      name.c_str(), list.c_str(), placeholders.size() == 1 ? "" : "s");
}

Json Describe(HWND dialog, bool popup, const std::vector<std::string>& placeholders) {
  RECT window, client, units{0, 0, 4, 8};
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  MapDialogRect(dialog, &units);
  Json json;
  json["created"] = true;
  json["parent"] = popup ? "popup" : "child";
  json["style"] = Hex8(static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)));
  json["exstyle"] = Hex8(static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
  json["window"] = {window.right - window.left, window.bottom - window.top};
  json["client"] = {client.right, client.bottom};
  json["baseunits"] = {units.right, units.bottom};
  Json controls = Json::array();
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(0, dialog, reinterpret_cast<POINT*>(&r), 2);
    Json control;
    control["class"] = Utf16ToUtf8(AnsiToUnicode(className));
    control["id"] = GetDlgCtrlID(child);
    control["style"] = Hex8(static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)));
    control["rect"] = {r.left, r.top, r.right, r.bottom};
    controls.push_back(std::move(control));
  }
  json["controls"] = std::move(controls);
  if (!placeholders.empty()) json["placeholders"] = placeholders;
  return json;
}

bool CaptureTo(HWND window, const std::string& path, ImageFormat format) {
  return format == ImageFormat::kSvg ? CaptureWindowToSvg(window, path.c_str())
                                     : CaptureWindowToPng(window, path.c_str());
}

int Dialog(const DialogArguments& arguments) {
  const std::optional<ImageFormat> format =
      arguments.out.empty() ? std::nullopt : ImageFormatOf(arguments.out);
  if (!arguments.out.empty() && !format)
    throw UsageError("cannot write " + arguments.out + ": a capture is written as .png or .svg");
  RegisterClasses();
  RegisterHostKitClasses();
  CatalogueClient client;
  client.Open(arguments.file);
  CheckResourceData(client.HandleModule(), std::to_string(kTypeDialog), arguments.name);
  HostForm host;
  bool popup = false;
  ShowOutcome outcome;
  const HWND dialog = ShowInHost(client, host, AnsiToUnicode(arguments.name), &popup,
                                 ShowOptions{!arguments.noPlaceholders}, &outcome);
  if (!dialog && !outcome.unregistered.empty()) {
    throw CliError("dialog " + arguments.name + " in " + arguments.file + " " +
                   UnregisteredClassesText(outcome.unregistered) + " (the program registers " +
                   (outcome.unregistered.size() == 1 ? "it" : "them") +
                   " when it runs); leave out --no-placeholders to preview it with placeholders");
  }
  if (!dialog) {
    std::string why = "no dialog " + arguments.name + " in " + arguments.file +
                      " (missing, or it cannot be built)";
    if (!arguments.name.empty() &&
        arguments.name.find_first_not_of("0123456789") == std::string::npos)
      why += "; a numbered dialog is named #" + arguments.name;
    throw CliError(why);
  }
  NotePlaceholders(arguments.name, outcome.placeholders);
  if (arguments.json || arguments.out.empty())
    std::printf("%s\n", Describe(dialog, popup, outcome.placeholders).dump().c_str());
  if (format && !CaptureTo(arguments.withHost ? host.formWindow : dialog, arguments.out, *format))
    throw CliError("cannot write " + arguments.out);
  return 0;
}

int Dialogs(const DialogsArguments& arguments) {
  RegisterClasses();
  RegisterHostKitClasses();
  CatalogueClient client;
  client.Open(arguments.file);
  OutputFolder out(arguments.out);
  const ImageFormat format = arguments.svg ? ImageFormat::kSvg : ImageFormat::kPng;
  std::vector<TypeRecord> types = client.ReadCatalogue(RecordFields::kListing);
  MarkTruncated(client.HandleModule(), types);
  std::vector<std::u16string> names;
  size_t truncated = 0;
  for (const TypeRecord& type : types) {
    if (TypeNumber(type) != kTypeDialog) continue;
    for (const ItemRecord& item : type.ResourceItems) {
      if (item.truncated)
        ++truncated;
      else
        names.push_back(NameArgument(item));
    }
  }
  std::vector<std::pair<std::string, std::string>> failed;  // name, and why when known
  std::vector<std::pair<std::string, std::vector<std::string>>> withPlaceholders;
  ProgressBar progress("dialogs", "dialogs", names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    HostForm host;  // one form per dialog: previews are never removed by ShowDialog
    bool popup = false;
    ShowOutcome outcome;
    const HWND dialog = ShowInHost(client, host, names[i], &popup,
                                   ShowOptions{!arguments.noPlaceholders}, &outcome);
    const std::string name = Utf16ToUtf8(names[i]);
    if (!outcome.placeholders.empty() && dialog)
      withPlaceholders.emplace_back(name, outcome.placeholders);
    if (!dialog) {
      failed.emplace_back(name, UnregisteredClassesText(outcome.unregistered));
    } else if (const auto path =
                   out.Claim(FileStem(names[i]) + ExtensionOf(format), "dialog " + name)) {
      if (!CaptureTo(dialog, path->string(), format)) failed.emplace_back(name, "");
    }
    progress.Advance(i + 1);
  }
  progress.Erase();
  for (const auto& [name, placeholders] : withPlaceholders) NotePlaceholders(name, placeholders);
  for (const auto& [name, why] : failed) {
    std::fprintf(stderr, "orvex: dialog %s could not be built%s\n", name.c_str(),
                 why.empty() ? "" : (": it " + why).c_str());
  }
  if (truncated != 0) {
    std::fprintf(stderr, "orvex: skipped %zu dialog%s: %s\n", truncated, truncated == 1 ? "" : "s",
                 kDataBeyondEnd);
  }
  std::fprintf(stderr, "orvex: wrote %zu of %zu dialogs to %s\n", out.FilesOnDisk(), names.size(),
               arguments.out.c_str());
  return failed.empty() && out.Refused() == 0 && truncated == 0 ? 0 : 1;
}

}  // namespace

void RegisterDialogCommands(CLI::App& app, int& exitStatus) {
  auto one = std::make_shared<DialogArguments>();
  CLI::App* dialog = app.add_subcommand(
      "dialog", "A dialog previewed by ShowDialog in a host form: JSON and a PNG or SVG capture");
  dialog->add_option("FILE", one->file, "The PE file (EXE, DLL, ...)")->required();
  dialog->add_option("NAME", one->name, "The dialog: #number or name")->required();
  dialog->add_flag("--json", one->json, "Describe the preview as one JSON line (the default)");
  dialog->add_option("-o,--out", one->out, "Capture to OUT.png or OUT.svg");
  dialog->add_flag("--with-host", one->withHost, "Capture the whole host form, not the dialog");
  dialog->add_flag("--no-placeholders", one->noPlaceholders,
                   "Fail on controls of classes the program registers, instead of drawing "
                   "placeholders");
  dialog->callback([one, &exitStatus] { exitStatus = Dialog(*one); });

  auto all = std::make_shared<DialogsArguments>();
  CLI::App* dialogs =
      app.add_subcommand("dialogs", "Every dialog of a module previewed and captured");
  dialogs->add_option("FILE", all->file, "The PE file (EXE, DLL, ...)")->required();
  dialogs->add_option("-o,--out", all->out, "The folder to write into")->required();
  dialogs->add_flag("--svg", all->svg, "Write SVG instead of PNG");
  dialogs->add_flag("--no-placeholders", all->noPlaceholders,
                    "Fail on controls of classes the program registers, instead of drawing "
                    "placeholders");
  dialogs->callback([all, &exitStatus] { exitStatus = Dialogs(*all); });
}

}  // namespace orvex::cli
