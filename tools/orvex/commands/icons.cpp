// `orvex icons FILE -o DIR`: every group icon and group cursor of a module written as an
// .ico / .cur file (its entries in directory order, PNG entries kept as PNG), and every
// entry as an RGBA PNG made from its picture object (GetPicture of RT_ICON / RT_CURSOR).
// File names start with the type ("icon_", "cursor_"): a module may have an icon and a
// cursor of one name.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "catalogue_client.h"
#include "cli_error.h"
#include "commands/commands.h"
#include "commands/icon_export.h"
#include "host/picture_image.h"
#include "output_folder.h"
#include "platform/gdi/png_image.h"
#include "platform/module/resource_types.h"
#include "platform/ole/wrappers.h"
#include "platform/text/text.h"
#include "progress_bar.h"
#include "renderers/icon_file.h"
#include "resource_data.h"
#include "resource_kinds.h"

namespace orvex::cli {

namespace {

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file.flush()) throw CliError("cannot write " + path.string());
}

// Whether the data of a resource of type `type` lies beyond the end of the file.
bool BeyondEnd(CatalogueClient& client, uint16_t type, const std::u16string& name) {
  return FindResourceData(client.HandleModule(), type, u"", name) == ResourceData::kBeyondEnd;
}

}  // namespace

void ExportGroup(CatalogueClient& client, bool cursor, const std::u16string& name,
                 OutputFolder& out, IconCounts& counts) {
  const std::u16string groupType = cursor ? u"12" : u"14";
  const std::u16string imageType = cursor ? u"1" : u"3";
  if (BeyondEnd(client, cursor ? kTypeGroupCursor : kTypeGroupIcon, name)) {
    ++counts.beyondEnd;
    return;
  }
  const std::vector<uint8_t> directory =
      ByteArrayView(client.Call("GetDataArray", {Variant(groupType), Variant(name)})).Copy();
  auto group = ReadIconDirectory(
      Bytes(reinterpret_cast<const std::byte*>(directory.data()), directory.size()));
  if (!group) {
    ++counts.skipped;
    std::fprintf(stderr, "orvex: skipped group %s: %s\n", Utf16ToUtf8(name).c_str(),
                 group.GetError().message.c_str());
    return;
  }
  std::vector<std::vector<uint8_t>> images;
  images.reserve(group->entries.size());
  for (const IconDirectoryEntry& entry : group->entries) {
    const std::u16string id = u"#" + Utf8ToUtf16(std::to_string(entry.id));
    images.push_back(
        ByteArrayView(client.Call("GetDataArray", {Variant(imageType), Variant(id)})).Copy());
    if (images.back().empty() && BeyondEnd(client, cursor ? kTypeCursor : kTypeIcon, id)) {
      ++counts.beyondEnd;
      return;
    }
  }
  // Icons and cursors may share names: the type is part of every file name.
  const std::string stem = (cursor ? "cursor_" : "icon_") + FileStem(name);
  const std::string what = (cursor ? "group cursor " : "group icon ") + Utf16ToUtf8(name);
  if (const auto path = out.Claim(stem + (cursor ? ".cur" : ".ico"), what))
    WriteFile(*path, AssembleIconFile(*group, images));
  for (size_t i = 0; i < group->entries.size(); ++i) {
    if (images[i].empty()) continue;
    // A PNG entry is its own PNG file already: written as stored, nothing is lost.
    const size_t skip = cursor ? 4 : 0;
    const auto stored =
        AsBytes(images[i].data(), images[i].size()).subspan(std::min(skip, images[i].size()));
    const auto pngName = [&](uint32_t width, uint32_t height) {
      return stem + "_" + std::to_string(i + 1) + "_" + std::to_string(width) + "x" +
             std::to_string(height) + ".png";
    };
    if (const auto png = ReadPngSize(stored)) {
      if (const auto path = out.Claim(pngName(png->width, png->height), what)) {
        WriteFile(*path, std::vector<uint8_t>(images[i].begin() + static_cast<ptrdiff_t>(skip),
                                              images[i].end()));
      }
      continue;
    }
    LONG type = cursor ? 1 : 3;
    const std::u16string id = u"#" + Utf8ToUtf16(std::to_string(group->entries[i].id));
    const Variant picture = client.Call("GetPicture", {Variant::RefTo(type), Variant(id)});
    if (picture.vt != VT_DISPATCH || !picture.pdispVal) continue;
    const PictureImage image = ReadPicture(picture.pdispVal, true);
    if (const auto path = out.Claim(pngName(image.pixelsWide, image.pixelsHigh), what))
      WritePng(*path, image.image);
  }
}

namespace {

struct IconsArguments {
  std::string file;
  std::string out;
};

int Icons(const IconsArguments& arguments) {
  RegisterClasses();
  CatalogueClient client;
  client.Open(arguments.file);
  OutputFolder out(arguments.out);

  struct Group {
    bool cursor;
    std::u16string name;
  };
  std::vector<Group> groups;
  for (const TypeRecord& type : client.ReadCatalogue(RecordFields::kListing)) {
    const std::optional<uint32_t> number = TypeNumber(type);
    if (number != kTypeGroupIcon && number != kTypeGroupCursor) continue;
    for (const ItemRecord& item : type.ResourceItems) {
      groups.push_back({number == kTypeGroupCursor, NameArgument(item)});
    }
  }
  IconCounts counts;
  ProgressBar progress("icons", "groups", groups.size());
  for (size_t i = 0; i < groups.size(); ++i) {
    ExportGroup(client, groups[i].cursor, groups[i].name, out, counts);
    progress.Advance(i + 1);
  }
  progress.Erase();
  if (counts.beyondEnd != 0) {
    std::fprintf(stderr, "orvex: skipped %zu group%s: %s\n", counts.beyondEnd,
                 counts.beyondEnd == 1 ? "" : "s", kDataBeyondEnd);
  }
  std::fprintf(stderr, "orvex: wrote %zu files to %s\n", out.FilesOnDisk(), arguments.out.c_str());
  return counts.skipped != 0 || counts.beyondEnd != 0 || out.Refused() != 0 ? 1 : 0;
}

}  // namespace

void RegisterIconsCommand(CLI::App& app, int& exitStatus) {
  auto arguments = std::make_shared<IconsArguments>();
  CLI::App* command = app.add_subcommand(
      "icons", "Every group icon and cursor as .ico/.cur, and each image as PNG");
  command->add_option("FILE", arguments->file, "The PE file (EXE, DLL, ...)")->required();
  command->add_option("-o,--out", arguments->out, "The folder to write into")->required();
  command->callback([arguments, &exitStatus] { exitStatus = Icons(*arguments); });
}

}  // namespace orvex::cli
