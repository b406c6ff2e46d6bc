// `orvex dump FILE -o DIR [--lang all|ID] [--no-rc]`: every resource of a module written as
// files a person opens (icons and cursors as .ico/.cur and PNG, bitmaps as .bmp and PNG,
// dialogs as PNG and SVG previews, texts as .txt as the readers render them, media and
// documents as the files they hold, anything else as .bin), an index (index.json and a
// static index.html), and a resource script (resources.rc) that compiles back to the same
// resources. Resources are listed through the module layer, every language apart;
// renderings come from the objects, which read the language the platform picks.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "catalogue_client.h"
#include "cli_error.h"
#include "clip_frames.h"
#include "commands/commands.h"
#include "commands/dump_index.h"
#include "commands/icon_export.h"
#include "dialog_host.h"
#include "host/host_kit.h"
#include "host/picture_image.h"
#include "output_folder.h"
#include "platform/module/module.h"
#include "platform/text/text.h"
#include "platform/user/window_capture.h"
#include "progress_bar.h"
#include "rc_script/rc_script.h"
#include "resource_kinds.h"
#include "text_output.h"
#include "text_records.h"
#include "type_names.h"

namespace orvex::cli {
namespace {

struct DumpArguments {
  std::string file;
  std::string out;
  std::string lang = "all";
  bool noRc = false;
};

struct Listed {
  rc::Resource resource;
  bool readable = true;
  bool preferred = false;  // the language the platform picks for this type and name
  bool severalLanguages = false;
};

std::string IdArgument(const rc::Id& id) {
  return id.named ? Utf16ToUtf8(id.name) : "#" + std::to_string(id.number);
}

rc::Id IdOf(LPCSTR id) {
  if (IS_INTRESOURCE(id))
    return rc::Id{false, static_cast<uint16_t>(reinterpret_cast<uintptr_t>(id)), {}};
  return rc::Id{true, 0, AnsiToUnicode(id)};
}

// Every resource of the module with its language, through the module layer.
std::vector<Listed> ListModule(HMODULE module, std::optional<uint16_t> onlyLanguage) {
  struct Walk {
    HMODULE module;
    std::optional<uint16_t> only;
    std::vector<Listed> listed;
  } walk{module, onlyLanguage, {}};
  EnumResourceTypesA(
      module,
      [](HMODULE m, LPSTR type, LONG_PTR param) -> BOOL {
        EnumResourceNamesA(
            m, type,
            [](HMODULE m2, LPCSTR t, LPSTR name, LONG_PTR p) -> BOOL {
              auto* state = reinterpret_cast<Walk*>(p);
              const size_t first = state->listed.size();
              EnumResourceLanguagesA(
                  m2, t, name,
                  [](HMODULE m3, LPCSTR t3, LPCSTR n3, WORD language, LONG_PTR p3) -> BOOL {
                    auto* inner = reinterpret_cast<Walk*>(p3);
                    if (inner->only && *inner->only != language) return TRUE;
                    Listed item;
                    item.resource.type = IdOf(t3);
                    item.resource.name = IdOf(n3);
                    item.resource.language = language;
                    const HRSRC found = FindResourceExA(m3, t3, n3, language);
                    const HGLOBAL loaded = LoadResource(m3, found);
                    const void* bytes = LockResource(loaded);
                    item.readable =
                        loaded != 0 && (bytes != nullptr || SizeofResource(m3, found) == 0);
                    if (item.readable)
                      item.resource.data = AsBytes(bytes, SizeofResource(m3, found));
                    item.preferred = found != 0 && found == FindResourceA(m3, n3, t3);
                    inner->listed.push_back(std::move(item));
                    return TRUE;
                  },
                  p);
              for (size_t i = first; i < state->listed.size(); ++i)
                state->listed[i].severalLanguages = state->listed.size() - first > 1;
              return TRUE;
            },
            param);
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&walk));
  return std::move(walk.listed);
}

bool StartsWith(Bytes data, std::string_view prefix, size_t at = 0) {
  return data.size() >= at + prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), data.begin() + static_cast<ptrdiff_t>(at),
                    [](char c, std::byte b) { return static_cast<std::byte>(c) == b; });
}

// The extension a resource's stored bytes are written with.
std::string DataExtension(const rc::Id& type, Bytes data) {
  if (!type.named) {
    switch (type.number) {
      case 23:
        return ".html";
      case 24:
        return ".manifest";
      case 8:
        return StartsWith(data, std::string_view("\0\1\0\0", 4)) ? ".ttf" : ".fnt";
      default:
        break;
    }
  }
  if (StartsWith(data, "RIFF") && StartsWith(data, "AVI ", 8)) return ".avi";
  if (StartsWith(data, "RIFF") && StartsWith(data, "WAVE", 8)) return ".wav";
  if (StartsWith(data, "\x89PNG")) return ".png";
  if (StartsWith(data, "GIF8")) return ".gif";
  if (StartsWith(data, "\xFF\xD8\xFF")) return ".jpg";
  if (StartsWith(data, "<?xml")) return ".xml";
  if (StartsWith(data, "<html") || StartsWith(data, "<HTML") || StartsWith(data, "<!DOCTYPE"))
    return ".html";
  return ".bin";
}

bool WriteBytes(const std::filesystem::path& path, Bytes prefix, Bytes data) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(prefix.data()),
             static_cast<std::streamsize>(prefix.size()));
  file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(file.flush());
}

// The BITMAPFILEHEADER before a stored DIB: the pixels follow the header and its colours.
std::vector<std::byte> BitmapFileHeader(Bytes dib) {
  ByteReader reader(dib);
  uint32_t headerSize = 40, compression = 0, colorsUsed = 0;
  uint16_t bitCount = 0;
  (void)reader.TryRead(headerSize);
  if (headerSize == 12) {
    (void)reader.Skip(6);
    (void)reader.TryRead(bitCount);
  } else {
    (void)reader.Skip(10);
    (void)reader.TryRead(bitCount);
    (void)reader.TryRead(compression);
    (void)reader.Skip(12);
    (void)reader.TryRead(colorsUsed);
  }
  const uint32_t entry = headerSize == 12 ? 3 : 4;
  uint32_t colors = colorsUsed != 0 ? colorsUsed : (bitCount <= 8 ? 1u << bitCount : 0);
  uint32_t masks = headerSize == 40 && compression == 3 ? 12 : 0;
  const uint32_t offset = 14 + headerSize + masks + colors * entry;
  const uint32_t size = static_cast<uint32_t>(14 + dib.size());
  std::vector<std::byte> out(14);
  auto put = [&](size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<std::byte>(value >> (8 * i));
  };
  put(0, 0x4D42, 2);
  put(2, size, 4);
  put(10, offset, 4);
  return out;
}

class Dumper {
 public:
  Dumper(const DumpArguments& arguments, CatalogueClient& client)
      : arguments_(arguments), client_(client), root_(arguments.out) {}

  int Run(std::optional<uint16_t> only) {
    listed_ = ListModule(client_.HandleModule(), only);
    OutputFolder rootFolder(arguments_.out);
    ProgressBar progress("dump", "resources", listed_.size());
    for (size_t i = 0; i < listed_.size(); ++i) {
      Dump(listed_[i]);
      progress.Advance(i + 1);
    }
    progress.Erase();
    if (!arguments_.noRc) WriteRc();
    WriteIndex(root_, entries_, arguments_.noRc ? nullptr : &tally_);
    std::fprintf(stderr, "orvex: wrote %zu resources to %s\n", listed_.size() - failures_,
                 arguments_.out.c_str());
    return failures_ != 0 ? 1 : 0;
  }

 private:
  std::string FolderOf(const rc::Id& type) {
    std::string folder;
    for (char c : rc::TypeLabel(type))
      folder += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return FileStem(Utf8ToUtf16(folder));
  }

  // The file stem of a resource, unique in its type's folder: names that give the same
  // stem ("#1" and "1", "A B" and "A_B") gain "_2", "_3", ... in the order listed.
  std::string StemOf(const Listed& item) {
    if (auto it = stems_.find(&item); it != stems_.end()) return it->second;
    std::string stem = FileStem(Utf8ToUtf16(IdArgument(item.resource.name)));
    if (item.severalLanguages) {
      char language[8];
      std::snprintf(language, sizeof language, "_%04X", item.resource.language);
      stem += language;
    }
    const std::string folder = FolderOf(item.resource.type);
    std::string unique = stem;
    for (int n = 2;; ++n) {
      std::string key = folder;
      key.append("/").append(unique);
      if (claimedStems_.insert(std::move(key)).second) break;
      unique = stem;
      unique.append("_").append(std::to_string(n));
    }
    stems_[&item] = unique;
    return unique;
  }

  // The path of `leaf` in the type's folder relative to the dump folder, the folder made.
  std::string Place(const Listed& item, const std::string& leaf) {
    const std::string folder = FolderOf(item.resource.type);
    std::error_code error;
    std::filesystem::create_directories(root_ / folder, error);
    if (error) throw CliError("cannot create " + (root_ / folder).string());
    return folder + "/" + leaf;
  }

  // Writes `leaf` in the type's folder; the path relative to the dump folder.
  std::optional<std::string> Write(const Listed& item, const std::string& leaf, Bytes prefix,
                                   Bytes data) {
    const std::string relative = Place(item, leaf);
    if (!WriteBytes(root_ / relative, prefix, data)) throw CliError("cannot write " + relative);
    return relative;
  }

  void Fail(const Listed& item, const std::string& why) {
    ++failures_;
    std::fprintf(stderr, "orvex: %s %s: %s\n", rc::TypeLabel(item.resource.type).c_str(),
                 IdArgument(item.resource.name).c_str(), why.c_str());
  }

  void Dump(const Listed& item) {
    IndexEntry entry;
    entry.type = rc::TypeLabel(item.resource.type);
    entry.name = IdArgument(item.resource.name);
    entry.language = item.resource.language;
    entry.size = item.resource.data.size();
    if (!item.readable) {
      Fail(item, "resource data lies beyond the end of the file (a truncated module?)");
      entry.error = "data beyond the end of the file";
      entries_.push_back(std::move(entry));
      return;
    }
    const rc::Id& type = item.resource.type;
    const Bytes data = item.resource.data;
    const std::string stem = StemOf(item);
    const std::u16string nameArg = Utf8ToUtf16(IdArgument(item.resource.name));
    const uint16_t number = type.named ? 0 : type.number;
    try {
      if (!type.named && (number == 4 || number == 5 || number == 6 || number == 9 ||
                          number == 11 || number == 16)) {
        // The objects render the language the platform picks; the others keep their
        // stored bytes, so that nothing is lost without the script.
        if (number == 11 || !item.preferred)
          dataFiles_[&item] = *Write(item, stem + ".bin", {}, data);
        if (item.preferred && number != 5) RenderText(item, stem, nameArg, entry);
        if (number == 5 && item.preferred) RenderDialog(item, stem, nameArg, entry);
      } else if (!type.named && number == 2) {
        const std::vector<std::byte> header = BitmapFileHeader(data);
        dataFiles_[&item] = *Write(item, stem + ".bmp", header, data);
        if (item.preferred) RenderPicture(item, stem, entry);
      } else if (!type.named && (number == 14 || number == 12)) {
        dataFiles_[&item] = *Write(item, stem + ".bin", {}, data);
        if (item.preferred) {
          OutputFolder folder((root_ / FolderOf(type)).string());
          IconCounts counts;
          ExportGroup(client_, number == 12, nameArg, folder, counts);
          const std::string prefix = number == 12 ? "cursor_" : "icon_";
          const std::string file =
              FolderOf(type) + "/" + prefix + FileStem(nameArg) + (number == 12 ? ".cur" : ".ico");
          if (std::filesystem::exists(root_ / file)) entry.files.push_back(file);
          if (counts.beyondEnd != 0) {
            Fail(item, "an image of the group lies beyond the end of the file");
          } else if (counts.skipped != 0) {
            Fail(item, "the group cannot be read (the stored bytes are written)");
          }
        }
      } else {
        const std::string extension = DataExtension(type, data);
        dataFiles_[&item] = *Write(item, stem + extension, {}, data);
        if (extension == ".avi" && item.preferred) RenderClip(item, stem, nameArg, entry);
      }
    } catch (const CliError& error) {
      Fail(item, error.what());
    }
    if (auto it = dataFiles_.find(&item); it != dataFiles_.end())
      entry.files.insert(entry.files.begin(), it->second);
    entryOf_[&item] = entries_.size();
    entries_.push_back(std::move(entry));
  }

  void RenderText(const Listed& item, const std::string& stem, const std::u16string& nameArg,
                  IndexEntry& entry) {
    const TextKind& kind = TextKindFor(item.resource.type.number);
    const std::u16string text = cli::RenderText(client_, kind, nameArg);
    const std::string utf8 = ToOutputText(text, LineEnds::kLf);
    entry.files.push_back(*Write(item, stem + ".txt", {}, AsBytes(utf8.data(), utf8.size())));
    // The record `--json` prints beside the text. The version's is read through the
    // platform's version functions, which read the resource #1.
    const rc::Id& name = item.resource.name;
    if (kind.typeNumber == 16 && (name.named || name.number != 1)) return;
    const nlohmann::ordered_json record = kind.typeNumber == 16
                                              ? VersionRecordJson(arguments_.file)
                                              : TextRecordJson(client_, kind, nameArg);
    const std::string json =
        record.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
    entry.files.push_back(*Write(item, stem + ".json", {}, AsBytes(json.data(), json.size())));
  }

  void RenderPicture(const Listed& item, const std::string& stem, IndexEntry& entry) {
    LONG type = item.resource.type.number;
    const Variant picture = client_.Call(
        "GetPicture", {Variant::RefTo(type), Variant(Utf8ToUtf16(IdArgument(item.resource.name)))});
    if (picture.vt != VT_DISPATCH || !picture.pdispVal) {
      Fail(item, "no picture could be made (the stored bytes are written)");
      return;
    }
    const PictureImage image = ReadPicture(picture.pdispVal, true);
    const std::string relative = Place(item, stem + ".png");
    WritePng((root_ / relative).string(), image.image);
    entry.files.push_back(relative);
  }

  void RenderDialog(const Listed& item, const std::string& stem, const std::u16string& nameArg,
                    IndexEntry& entry) {
    UseHostKit();
    HostForm host;
    bool popup = false;
    const HWND dialog = ShowInHost(client_, host, nameArg, &popup);
    if (!dialog) {
      Fail(item, "the dialog cannot be built (the stored bytes are written)");
      dataFiles_[&item] = *Write(item, stem + ".bin", {}, item.resource.data);
      return;
    }
    for (const char* extension : {".png", ".svg"}) {
      const std::string relative = Place(item, stem + extension);
      const std::string path = (root_ / relative).string();
      const BOOL ok = std::string(extension) == ".png" ? CaptureWindowToPng(dialog, path.c_str())
                                                       : CaptureWindowToSvg(dialog, path.c_str());
      if (ok) entry.files.push_back(relative);
    }
  }

  // The clip as PlayAVI plays it, as an animated GIF.
  void RenderClip(const Listed& item, const std::string& stem, const std::u16string& nameArg,
                  IndexEntry& entry) {
    UseHostKit();
    const std::string relative = Place(item, stem + ".gif");
    try {
      WriteClipFrames(client_, nameArg, item.resource.data, false, (root_ / relative).string(),
                      false, false);
      entry.files.push_back(relative);
    } catch (const CliError& error) {
      std::error_code ignored;
      std::filesystem::remove(root_ / relative, ignored);
      Fail(item, std::string("the clip cannot be played: ") + error.what() +
                     " (the stored bytes are written)");
    }
  }

  void UseHostKit() {
    if (!hostReady_) {
      RegisterHostKitClasses();
      hostReady_ = true;
    }
  }

  void WriteRc() {
    std::vector<rc::Resource> resources;
    for (const Listed& item : listed_) {
      if (item.readable) resources.push_back(item.resource);
    }
    std::map<size_t, const Listed*> origin;
    size_t index = 0;
    for (const Listed& item : listed_) {
      if (item.readable) origin[index++] = &item;
    }
    rc::Tally tally;
    const std::string script = rc::WriteScript(
        resources,
        [&](const rc::Resource& resource, bool bitmap) {
          const Listed* item = origin[static_cast<size_t>(&resource - resources.data())];
          if (auto it = dataFiles_.find(item); it != dataFiles_.end()) {
            if (!bitmap || it->second.ends_with(".bmp")) return it->second;
          }
          std::string path = *Write(*item, StemOf(*item) + ".bin", {}, resource.data);
          dataFiles_[item] = path;
          entries_[entryOf_[item]].files.push_back(path);
          return path;
        },
        tally);
    std::ofstream file(root_ / "resources.rc", std::ios::binary | std::ios::trunc);
    file << script;
    if (!file.flush()) throw CliError("cannot write resources.rc");
    for (const std::string& omitted : tally.omitted)
      std::fprintf(stderr, "orvex: left out of resources.rc: %s\n", omitted.c_str());
    tally_ = std::move(tally);
  }

  const DumpArguments& arguments_;
  CatalogueClient& client_;
  std::filesystem::path root_;
  std::vector<Listed> listed_;
  std::map<const Listed*, std::string> dataFiles_;
  std::map<const Listed*, std::string> stems_;
  std::map<const Listed*, size_t> entryOf_;
  std::set<std::string> claimedStems_;
  std::vector<IndexEntry> entries_;
  rc::Tally tally_;
  size_t failures_ = 0;
  bool hostReady_ = false;
};

// The language --lang names: nothing for all of them; a usage error for anything but
// "all" or a number up to 0xFFFF.
std::optional<uint16_t> LanguageOption(const std::string& text) {
  if (text == "all") return std::nullopt;
  size_t used = 0;
  unsigned long value = 0;
  try {
    value = std::stoul(text, &used, 0);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || value > 0xFFFF)
    throw UsageError("--lang takes all or a language identifier (1033, 0x409)");
  return static_cast<uint16_t>(value);
}

int Dump(const DumpArguments& arguments) {
  const std::optional<uint16_t> only = LanguageOption(arguments.lang);
  RegisterClasses();
  CatalogueClient client;
  client.Open(arguments.file);
  Dumper dumper(arguments, client);
  return dumper.Run(only);
}

}  // namespace

void RegisterDumpCommand(CLI::App& app, int& exitStatus) {
  auto arguments = std::make_shared<DumpArguments>();
  CLI::App* command = app.add_subcommand(
      "dump", "Every resource written as files, with an index and a resource script");
  command->add_option("FILE", arguments->file, "The module (PE file or .res)")->required();
  command->add_option("-o,--out", arguments->out, "The folder to write into")->required();
  command->add_option("--lang", arguments->lang, "all, or one language identifier");
  command->add_flag("--no-rc", arguments->noRc, "Write no resources.rc");
  command->callback([arguments, &exitStatus] { exitStatus = Dump(*arguments); });
}

}  // namespace orvex::cli
