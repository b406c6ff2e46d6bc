// `orvex picture FILE TYPE NAME [-o OUT.png] [--ext]`: one picture object, made by GetPicture
// (TYPE a resource type number, NAME as given: the member puts "#" before digits) or with
// --ext by GetPictureExt (TYPE and NAME as text), described in one JSON line and, with -o,
// written as an 8-bit RGBA PNG: GetPicture's image (its greys mapped to the system's 3D
// colours) or, with --as-stored, the resource's own colours.
#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "catalogue_client.h"
#include "cli_error.h"
#include "commands/commands.h"
#include "host/picture_image.h"
#include "platform/text/text.h"
#include "resource_data.h"
#include "resource_kinds.h"
#include "stored_picture.h"

namespace orvex::cli {
namespace {

struct PictureArguments {
  std::string file;
  std::string type;
  std::string name;
  std::string out;
  bool ext = false;
  bool asStored = false;
};

int Picture(const PictureArguments& arguments) {
  if (!arguments.out.empty() && ImageFormatOf(arguments.out) != ImageFormat::kPng)
    throw UsageError("cannot write " + arguments.out + ": a picture is written as .png");
  RegisterClasses();
  CatalogueClient client;
  client.Open(arguments.file);
  if (arguments.ext)
    CheckResourceData(client.HandleModule(), arguments.type, arguments.name);
  else
    CheckPictureData(client.HandleModule(), arguments.type, arguments.name);
  const ComPtr<IDispatch> picture =
      arguments.ext ? client.GetPictureExt(arguments.type, arguments.name, arguments.file)
                    : client.GetPicture(arguments.type, arguments.name, arguments.file);
  const PictureImage image = ReadPicture(picture.Get(), !arguments.out.empty());
  nlohmann::ordered_json line;
  line["Type"] = image.type;
  line["Width"] = image.width;
  line["Height"] = image.height;
  line["pixels"] = {image.pixelsWide, image.pixelsHigh};
  if (image.hotspot) {
    line["hotspot"] = {image.hotspot->first, image.hotspot->second};
  } else {
    line["hotspot"] = nullptr;
  }
  if (!arguments.out.empty()) {
    // GetPicture's image maps greys to the system's 3D colours; --as-stored writes the
    // resource's own colours instead.
    const std::optional<uint32_t> type =
        arguments.asStored ? ParseResourceKey(arguments.type, "#1").typeNumber : std::nullopt;
    WritePng(arguments.out,
             type ? StoredPictureImage(client.HandleModule(), *type, arguments.name) : image.image);
  }
  std::printf("%s\n", line.dump().c_str());
  return 0;
}

}  // namespace

void RegisterPictureCommand(CLI::App& app, int& exitStatus) {
  auto arguments = std::make_shared<PictureArguments>();
  CLI::App* command =
      app.add_subcommand("picture", "A picture of an icon, cursor or bitmap resource");
  command->add_option("FILE", arguments->file, "The PE file (EXE, DLL, ...)")->required();
  command
      ->add_option("TYPE", arguments->type,
                   "Resource type number or name: 1 CURSOR, 2 BITMAP, 3 ICON, 12 GROUP_CURSOR, "
                   "14 GROUP_ICON (with --ext: any type)")
      ->required();
  command->add_option("NAME", arguments->name, "Resource name or number (130 or #130)")->required();
  CLI::Option* out = command->add_option(
      "-o,--out", arguments->out,
      "Write the picture as an RGBA PNG: GetPicture's image, whose greys are the system's 3D "
      "colours");
  CLI::Option* ext = command->add_flag(
      "--ext", arguments->ext, "Read the resource's bytes as a picture file (GetPictureExt)");
  command
      ->add_flag("--as-stored", arguments->asStored,
                 "With -o: write the resource's own colours (greys not mapped)")
      ->needs(out)
      ->excludes(ext);
  command->callback([arguments, &exitStatus] { exitStatus = Picture(*arguments); });
}

}  // namespace orvex::cli
