#include "resource_kinds.h"

#include <algorithm>
#include <cassert>
#include <cctype>

#include "platform/text/text.h"

namespace orvex::cli {

namespace {

constexpr TextKind kTextKinds[] = {
    {kTypeMenu, "GetMenuText", true, "menu"},
    {kTypeString, "GetString", true, "string-table block"},
    {kTypeAccelerator, "GetAccelerators", true, "accelerator table"},
    {kTypeMessageTable, "GetMessageTable", true, "message table"},
    {kTypeVersion, "GetVersionInfo", false, "version information"},
};

}  // namespace

bool HasExtension(const std::string& path, std::string_view extension) {
  return path.size() >= extension.size() &&
         std::equal(extension.begin(), extension.end(),
                    path.end() - static_cast<ptrdiff_t>(extension.size()), [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

const TextKind* TextKindOf(std::optional<uint32_t> typeNumber) {
  if (!typeNumber) return nullptr;
  const auto found =
      std::find_if(std::begin(kTextKinds), std::end(kTextKinds),
                   [&](const TextKind& kind) { return kind.typeNumber == *typeNumber; });
  return found == std::end(kTextKinds) ? nullptr : found;
}

const TextKind& TextKindFor(uint16_t typeNumber) {
  const TextKind* kind = TextKindOf(typeNumber);
  assert(kind != nullptr);
  return *kind;
}

std::u16string RenderText(CatalogueClient& client, const TextKind& kind,
                          const std::u16string& resName) {
  return kind.takesName ? client.Call(kind.member, {Variant(resName)}).ToString()
                        : client.Call(kind.member).ToString();
}

std::u16string ResourceText(CatalogueClient& client, const ResourceKey& key) {
  const TextKind* kind = TextKindOf(key.typeNumber);
  return kind ? RenderText(client, *kind, key.resName) : client.GetHTML(key);
}

bool IsPictureType(std::optional<uint32_t> typeNumber) {
  return typeNumber &&
         (*typeNumber == kTypeCursor || *typeNumber == 2 || *typeNumber == kTypeIcon ||
          *typeNumber == kTypeGroupCursor || *typeNumber == kTypeGroupIcon);
}

std::optional<ImageFormat> ImageFormatOf(const std::string& path) {
  if (HasExtension(path, ".png")) return ImageFormat::kPng;
  if (HasExtension(path, ".svg")) return ImageFormat::kSvg;
  return std::nullopt;
}

const char* ExtensionOf(ImageFormat format) {
  return format == ImageFormat::kSvg ? ".svg" : ".png";
}

std::string FileStem(std::u16string_view name) {
  if (name.starts_with(u"#")) name.remove_prefix(1);
  std::string stem = Utf16ToUtf8(name);
  for (char& c : stem) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '-' || c == '_' || static_cast<unsigned char>(c) >= 0x80;
    if (!plain) c = '_';
  }
  return stem.empty() || stem == "." || stem == ".." ? "_" + stem : stem;
}

}  // namespace orvex::cli
