// `orvex icons FILE -o DIR`: every group icon and group cursor of a module written as an
// .ico / .cur file (its entries in directory order, PNG entries kept as PNG), and every
// entry as an RGBA PNG made from its picture object (GetPicture of RT_ICON / RT_CURSOR).
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
#include "host/picture_image.h"
#include "platform/gdi/png_image.h"
#include "platform/module/resource_types.h"
#include "platform/ole/wrappers.h"
#include "platform/text/text.h"
#include "progress_bar.h"
#include "renderers/icon_file.h"

namespace orvex::cli {
namespace {

struct IconsArguments {
  std::string file;
  std::string out;
};

// A file name from a resource name: "#1" gives "1", other characters than letters, digits,
// '.', '-' and '_' become '_'.
std::string FileStem(const std::u16string& name) {
  std::string stem = Utf16ToUtf8(name.starts_with(u"#") ? name.substr(1) : name);
  for (char& c : stem) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '-' || c == '_';
    if (!plain) c = '_';
  }
  return stem.empty() || stem == "." || stem == ".." ? "_" + stem : stem;
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file.flush()) throw CliError("cannot write " + path.string());
}

struct Counts {
  size_t files = 0;
  size_t pngs = 0;
  size_t skipped = 0;
};

void ExportGroup(CatalogueClient& client, bool cursor, const std::u16string& name,
                 const std::filesystem::path& dir, Counts& counts) {
  // Types by number, as text: "12" for cursor groups, "1" for their images.
  const auto typeText = [](ResourceType type) { return Utf8ToUtf16(std::to_string(type)); };
  const std::u16string groupType = typeText(cursor ? RT_GROUP_CURSOR : RT_GROUP_ICON);
  const std::u16string imageType = typeText(cursor ? RT_CURSOR : RT_ICON);
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
  }
  const std::string stem = FileStem(name);
  WriteFile(dir / (stem + (cursor ? ".cur" : ".ico")), AssembleIconFile(*group, images));
  ++counts.files;
  for (size_t i = 0; i < group->entries.size(); ++i) {
    if (images[i].empty()) continue;
    // A PNG entry is its own PNG file already: written as stored, nothing is lost.
    const size_t skip = cursor ? 4 : 0;
    const auto stored =
        AsBytes(images[i].data(), images[i].size()).subspan(std::min(skip, images[i].size()));
    if (const auto png = ReadPngSize(stored)) {
      WriteFile(
          dir / (stem + "_" + std::to_string(i + 1) + "_" + std::to_string(png->width) + "x" +
                 std::to_string(png->height) + ".png"),
          std::vector<uint8_t>(images[i].begin() + static_cast<ptrdiff_t>(skip), images[i].end()));
      ++counts.pngs;
      continue;
    }
    LONG type = cursor ? 1 : 3;
    const std::u16string id = u"#" + Utf8ToUtf16(std::to_string(group->entries[i].id));
    const Variant picture = client.Call("GetPicture", {Variant::RefTo(type), Variant(id)});
    if (picture.vt != VT_DISPATCH || !picture.pdispVal) continue;
    const PictureImage image = ReadPicture(picture.pdispVal, true);
    WritePng(dir / (stem + "_" + std::to_string(i + 1) + "_" + std::to_string(image.pixelsWide) +
                    "x" + std::to_string(image.pixelsHigh) + ".png"),
             image.image);
    ++counts.pngs;
  }
}

int Icons(const IconsArguments& arguments) {
  RegisterClasses();
  CatalogueClient client;
  client.Open(arguments.file);
  const std::filesystem::path dir(arguments.out);
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (!std::filesystem::is_directory(dir)) throw CliError("cannot create folder " + arguments.out);

  struct Group {
    bool cursor;
    std::u16string name;
  };
  std::vector<Group> groups;
  for (const TypeRecord& type : client.ReadCatalogue(RecordFields::kListing)) {
    if (type.Style != RT_GROUP_ICON && type.Style != RT_GROUP_CURSOR) continue;
    for (const ItemRecord& item : type.ResourceItems) {
      groups.push_back({type.Style == RT_GROUP_CURSOR, NameArgument(item)});
    }
  }
  Counts counts;
  ProgressBar progress("icons", "groups", groups.size());
  for (size_t i = 0; i < groups.size(); ++i) {
    ExportGroup(client, groups[i].cursor, groups[i].name, dir, counts);
    progress.Advance(i + 1);
  }
  progress.Erase();
  std::fprintf(stderr, "orvex: wrote %zu icon and cursor files and %zu PNGs to %s\n", counts.files,
               counts.pngs, arguments.out.c_str());
  return counts.skipped ? 1 : 0;
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
