#include "text_json.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "platform/text/text.h"
#include "platform/user/low_memory.h"
#include "platform/user/menu.h"
#include "platform/version/version.h"
#include "platform/version/version_block.h"

namespace orvex::cli {

using Json = nlohmann::ordered_json;

namespace {

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

// Text up to its first zero unit.
std::u16string UpToNull(std::u16string text) {
  const size_t nul = text.find(u'\0');
  if (nul != std::u16string::npos) text.resize(nul);
  return text;
}

// A name for each set bit of `value` that the table knows, in table order.
struct FlagName {
  uint32_t bit;
  const char* name;
};
template <size_t N>
Json FlagNames(uint32_t value, const FlagName (&names)[N]) {
  Json out = Json::array();
  for (const FlagName& flag : names)
    if ((value & flag.bit) == flag.bit) out.push_back(flag.name);
  return out;
}

std::optional<std::string> ValueName(uint32_t value, std::initializer_list<FlagName> names) {
  for (const FlagName& entry : names)
    if (entry.bit == value) return entry.name;
  return std::nullopt;
}

Json NameOrNull(std::optional<std::string> name) {
  return name ? Json(*name) : Json(nullptr);
}

}  // namespace

Json StringBlockJson(uint16_t block, Bytes bytes) {
  Json strings = Json::array();
  ByteReader reader(bytes);
  const uint32_t first = (uint32_t{block} - 1) * 16;
  // A block holds 16 counted strings; block 0 names nothing but is read alike.
  for (uint32_t i = 0; i < 16; ++i) {
    uint16_t length = 0;
    if (!reader.TryRead(length)) break;
    const auto text = reader.ReadU16String(length);
    if (!text) break;
    if (text->empty()) continue;
    strings.push_back(Json{{"id", (first + i) & 0xFFFF}, {"text", Utf16ToUtf8(*text)}});
  }
  return Json{{"name", "#" + std::to_string(block)}, {"strings", std::move(strings)}};
}

Json MessageTableJson(const std::string& name, Bytes bytes) {
  Json messages = Json::array();
  ByteReader reader(bytes);
  uint32_t blockCount = 0;
  // Each entry takes at least 4 bytes: blocks that name the same entries over and over
  // (a hostile table) end when the table's bytes could hold no more.
  const size_t mostEntries = bytes.size() / 4;
  if (reader.TryRead(blockCount)) {
    // MESSAGE_RESOURCE_BLOCK { DWORD LowId; DWORD HighId; DWORD OffsetToEntries; }: only the
    // blocks that lie within the bytes.
    for (uint32_t b = 0; b < blockCount && reader.Remaining() >= 12; ++b) {
      const uint32_t lowId = *reader.Read<uint32_t>();
      const uint32_t highId = *reader.Read<uint32_t>();
      const uint32_t offset = *reader.Read<uint32_t>();
      ByteReader entries(bytes);
      if (lowId > highId || !entries.Seek(offset)) continue;
      for (uint64_t id = lowId; id <= highId && messages.size() < mostEntries; ++id) {
        // MESSAGE_RESOURCE_ENTRY { WORD Length; WORD Flags; BYTE Text[Length - 4]; }
        uint16_t length = 0;
        uint16_t flags = 0;
        if (!entries.TryRead(length) || length < 4 || !entries.TryRead(flags)) break;
        const auto text = entries.ReadBytes(length - 4u);
        if (!text) break;
        std::u16string message;
        if (flags == 1) {
          ByteReader units(*text);
          message = UpToNull(*units.ReadU16String(text->size() / 2));
        } else {
          std::string_view ansi(reinterpret_cast<const char*>(text->data()), text->size());
          message = AnsiToUnicode(ansi.substr(0, ansi.find('\0')));
        }
        Json entry{{"id", id}};
        if (id >= 0x10000) entry["hex"] = Hex(static_cast<uint32_t>(id));
        entry["text"] = Utf16ToUtf8(message);
        messages.push_back(std::move(entry));
      }
    }
  }
  return Json{{"name", name}, {"messages", std::move(messages)}};
}

namespace {

std::string VersionText(DWORD ms, DWORD ls) {
  return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." +
         std::to_string(ls >> 16) + "." + std::to_string(ls & 0xFFFF);
}

Json FixedJson(const VS_FIXEDFILEINFO& fixed) {
  static constexpr FlagName kFileFlags[] = {
      {0x01, "VS_FF_DEBUG"},        {0x02, "VS_FF_PRERELEASE"},   {0x04, "VS_FF_PATCHED"},
      {0x08, "VS_FF_PRIVATEBUILD"}, {0x10, "VS_FF_INFOINFERRED"}, {0x20, "VS_FF_SPECIALBUILD"},
  };
  const auto os = ValueName(fixed.dwFileOS, {{0x00000000, "VOS_UNKNOWN"},
                                             {0x00010000, "VOS_DOS"},
                                             {0x00020000, "VOS_OS216"},
                                             {0x00030000, "VOS_OS232"},
                                             {0x00040000, "VOS_NT"},
                                             {0x00050000, "VOS_WINCE"},
                                             {0x00000001, "VOS__WINDOWS16"},
                                             {0x00000002, "VOS__PM16"},
                                             {0x00000003, "VOS__PM32"},
                                             {0x00000004, "VOS__WINDOWS32"},
                                             {0x00010001, "VOS_DOS_WINDOWS16"},
                                             {0x00010004, "VOS_DOS_WINDOWS32"},
                                             {0x00020002, "VOS_OS216_PM16"},
                                             {0x00030003, "VOS_OS232_PM32"},
                                             {0x00040004, "VOS_NT_WINDOWS32"}});
  const auto type = ValueName(fixed.dwFileType, {{0, "VFT_UNKNOWN"},
                                                 {1, "VFT_APP"},
                                                 {2, "VFT_DLL"},
                                                 {3, "VFT_DRV"},
                                                 {4, "VFT_FONT"},
                                                 {5, "VFT_VXD"},
                                                 {7, "VFT_STATIC_LIB"}});
  return Json{
      {"FileVersion", VersionText(fixed.dwFileVersionMS, fixed.dwFileVersionLS)},
      {"ProductVersion", VersionText(fixed.dwProductVersionMS, fixed.dwProductVersionLS)},
      {"FileFlagsMask", fixed.dwFileFlagsMask},
      {"FileFlags", fixed.dwFileFlags},
      {"FileFlagNames", FlagNames(fixed.dwFileFlags & fixed.dwFileFlagsMask, kFileFlags)},
      {"FileOS", fixed.dwFileOS},
      {"FileOSName", NameOrNull(os)},
      {"FileType", fixed.dwFileType},
      {"FileTypeName", NameOrNull(type)},
      {"FileSubtype", fixed.dwFileSubtype},
      {"FileDate", (uint64_t{fixed.dwFileDateMS} << 32) | fixed.dwFileDateLS},
  };
}

// A string table's key: four hex digits of language, four of code page.
std::optional<std::pair<uint32_t, uint32_t>> TableLanguage(const std::u16string& key) {
  if (key.size() != 8) return std::nullopt;
  uint32_t value = 0;
  for (char16_t c : key) {
    uint32_t digit;
    if (c >= u'0' && c <= u'9')
      digit = c - u'0';
    else if (c >= u'a' && c <= u'f')
      digit = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
      digit = c - u'A' + 10;
    else
      return std::nullopt;
    value = value << 4 | digit;
  }
  return std::pair{value >> 16, value & 0xFFFF};
}

}  // namespace

Json VersionJson(Bytes block) {
  Json out;
  void* value = nullptr;
  UINT length = 0;
  out["fixed"] = nullptr;
  if (VerQueryValueA(block.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, value, sizeof fixed);
    if (fixed.dwSignature == VS_FFI_SIGNATURE) out["fixed"] = FixedJson(fixed);
  }
  Json& translations = out["translations"] = Json::array();
  if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length)) {
    ByteReader reader(AsBytes(value, length));
    uint16_t language = 0;
    uint16_t codePage = 0;
    while (reader.TryRead(language) && reader.TryRead(codePage))
      translations.push_back(Json{{"language", language}, {"codePage", codePage}});
  }
  // The string tables: the children of StringFileInfo (depth 2) and their values (depth 3).
  Json& tables = out["stringTables"] = Json::array();
  const VersionLayout layout = DetectVersionLayout(block);
  bool inStrings = false;
  Json* table = nullptr;
  (void)WalkVersionTree(block, [&](const VersionNode& node, int depth) {
    if (depth == 1) {
      inStrings = EqualsIgnoringCase(node.key, u"StringFileInfo");
      table = nullptr;
    } else if (depth == 2 && inStrings) {
      Json record{{"key", Utf16ToUtf8(node.key)}};
      const auto language = TableLanguage(node.key);
      record["language"] = language ? Json(language->first) : Json(nullptr);
      record["codePage"] = language ? Json(language->second) : Json(nullptr);
      record["strings"] = Json::object();
      tables.push_back(std::move(record));
      table = &tables.back()["strings"];
    } else if (depth == 3 && table != nullptr) {
      ByteReader reader(block);
      const auto bytes = reader.SliceAt(node.valueOffset, node.valueSize);
      std::u16string text;
      if (bytes && layout == VersionLayout::kUnicode) {
        ByteReader units(*bytes);
        text = UpToNull(*units.ReadU16String(bytes->size() / 2));
      } else if (bytes) {
        std::string_view ansi(reinterpret_cast<const char*>(bytes->data()), bytes->size());
        text = AnsiToUnicode(ansi.substr(0, ansi.find('\0')));
      }
      (*table)[Utf16ToUtf8(node.key)] = Utf16ToUtf8(text);
    }
  });
  return out;
}

namespace {

constexpr int kMaxMenuDepth = 64;
constexpr size_t kMenuTextSize = 1024;

Json MenuItems(HMENU menu, int depth, LowBuffer& text) {
  static constexpr FlagName kFlags[] = {
      {MFT_SEPARATOR, "separator"},   {MFT_BITMAP, "bitmap"},
      {MFT_OWNERDRAW, "ownerdraw"},   {MFT_MENUBARBREAK, "menubarbreak"},
      {MFT_MENUBREAK, "menubreak"},   {MFT_RADIOCHECK, "radiocheck"},
      {MFT_RIGHTORDER, "rightorder"}, {MFT_RIGHTJUSTIFY, "rightjustify"},
  };
  static constexpr FlagName kStates[] = {
      {0x0001, "grayed"},          {0x0002, "disabled"},     {MFS_CHECKED, "checked"},
      {MFS_HILITE, "highlighted"}, {MFS_DEFAULT, "default"},
  };
  Json items = Json::array();
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    std::fill_n(text.Data(), text.Size(), '\0');
    info.dwTypeData = text.Address32();
    info.cch = static_cast<UINT>(text.Size());
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) continue;
    Json item;
    const bool plain = (info.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)) == 0;
    if (plain) {
      const std::string caption = Utf16ToUtf8(AnsiToUnicode(
          std::string_view(text.Data(), std::min<size_t>(info.cch, text.Size() - 1))));
      const size_t tab = caption.find('\t');
      item["text"] = caption.substr(0, tab);
      item["key"] = tab == std::string::npos ? Json(nullptr) : Json(caption.substr(tab + 1));
    } else {
      item["text"] = nullptr;
      item["key"] = nullptr;
    }
    const bool handleAsId = info.hSubMenu != 0 && info.wID == info.hSubMenu;
    item["id"] = handleAsId ? Json(nullptr) : Json(info.wID);
    Json flags = FlagNames(info.fType, kFlags);
    for (Json& state : FlagNames(info.fState, kStates)) flags.push_back(std::move(state));
    item["flags"] = std::move(flags);
    if (info.hSubMenu != 0)
      item["items"] =
          depth < kMaxMenuDepth ? MenuItems(info.hSubMenu, depth + 1, text) : Json::array();
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace

Json MenuJson(const std::string& name, HMENU menu) {
  LowBuffer text(kMenuTextSize);
  return Json{{"name", name}, {"items", MenuItems(menu, 0, text)}};
}

Json AcceleratorsJson(const std::string& name, std::u16string_view memberText) {
  Json accelerators = Json::array();
  const std::string text = Utf16ToUtf8(memberText);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    start = end + 2;
    // "COMBINATION (cmdID = N)"
    static constexpr std::string_view kId = " (cmdID = ";
    const size_t idAt = line.rfind(kId);
    if (idAt == std::string_view::npos || !line.ends_with(')')) continue;
    std::string_view combination = line.substr(0, idAt);
    const std::string idText(line.substr(idAt + kId.size(), line.size() - idAt - kId.size() - 1));
    Json modifiers = Json::array();
    for (std::string_view modifier : {"Shift+", "Ctrl+", "Alt+"}) {
      if (combination.size() > modifier.size() && combination.starts_with(modifier)) {
        modifiers.push_back(std::string(modifier.substr(0, modifier.size() - 1)));
        combination.remove_prefix(modifier.size());
      }
    }
    const long id = std::strtol(idText.c_str(), nullptr, 10);
    accelerators.push_back(Json{{"key", std::string(combination)},
                                {"modifiers", std::move(modifiers)},
                                {"id", static_cast<uint16_t>(id)}});
  }
  return Json{{"name", name}, {"accelerators", std::move(accelerators)}};
}

}  // namespace orvex::cli
