// What the hosts (the commands and the web viewer) do with each kind of resource, written
// once: the catalogue member that renders a type as text, the member that makes its picture,
// the image formats a capture is written in, and the file name a resource name gives.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue_client.h"
#include "type_names.h"

namespace orvex::cli {

// A type that a text member of the catalogue renders.
struct TextKind {
  uint16_t typeNumber;
  const char* member;  // "GetString"
  bool takesName;      // GetVersionInfo reads the module's version resource, named by nobody
  const char* what;    // "string-table block", for messages
};

// The text kind of a type number; null when GetHTML is the type's text.
const TextKind* TextKindOf(std::optional<uint32_t> typeNumber);
// The text kind of a type number that has one (a programming error otherwise).
const TextKind& TextKindFor(uint16_t typeNumber);

// The text of one resource: the kind's member, or GetHTML for types without one.
std::u16string ResourceText(CatalogueClient& client, const ResourceKey& key);
// The kind's member on the resource named `resName`.
std::u16string RenderText(CatalogueClient& client, const TextKind& kind,
                          const std::u16string& resName);

// How a resource's picture is made: GetPicture for the picture types (cursors, bitmaps,
// icons and their groups), GetPictureExt (a picture file in the resource) for the rest.
bool IsPictureType(std::optional<uint32_t> typeNumber);

// The formats a capture is written in.
enum class ImageFormat { kPng, kSvg };
// Whether `path` ends in `extension` (".gif"), in any case.
bool HasExtension(const std::string& path, std::string_view extension);
// The format an output path asks for by its extension (any case); nothing for others.
std::optional<ImageFormat> ImageFormatOf(const std::string& path);
const char* ExtensionOf(ImageFormat format);  // ".png"

// A file name from a resource name: "#1" gives "1"; characters other than letters, digits,
// '.', '-', '_' and those beyond ASCII become '_'; "", "." and ".." gain a leading '_'.
std::string FileStem(std::u16string_view name);

}  // namespace orvex::cli
