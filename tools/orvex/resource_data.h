// Whether a resource's data lies in its module's file, asked of the platform as a host may
// (FindResourceA and LoadResource on the module the catalogue opened). The catalogue's
// members give a resource whose data lies beyond the end of a truncated or damaged file as
// an empty one; the hosts tell the two apart here and say so once.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue_client.h"
#include "cli_error.h"
#include "resource_key.h"

namespace orvex::cli {

inline constexpr char kDataBeyondEnd[] =
    "resource data lies beyond the end of the file (a truncated module?)";

// The failure of a command on such a resource: kDataBeyondEnd, exit status 1.
class DataBeyondEndError : public CliError {
 public:
  DataBeyondEndError() : CliError(kDataBeyondEnd) {}
};

enum class ResourceData { kMissing, kInFile, kBeyondEnd };

// TYPE by number (typeNumber) or by name (typeName), NAME as "#101" or a name.
ResourceData FindResourceData(HMODULE module, std::optional<uint32_t> typeNumber,
                              std::u16string_view typeName, std::u16string_view name);
ResourceData FindResourceData(HMODULE module, const ResourceKey& key);
// Throws DataBeyondEndError when the resource's data lies beyond the end of the file.
void CheckResourceData(HMODULE module, const ResourceKey& key);
// The same for TYPE and NAME as text; nothing when they cannot be read (the member that
// takes them says why).
void CheckResourceData(HMODULE module, std::string_view type, std::string_view name);
// The same for GetPicture's TYPE and NAME, where a NAME of digits names a number.
void CheckPictureData(HMODULE module, std::string_view type, std::string_view name);

// The languages a resource is stored in, ascending, through the module layer's enumeration
// (the objects read the one the platform picks); TYPE and NAME as for FindResourceData.
std::vector<uint16_t> ResourceLanguages(HMODULE module, std::optional<uint32_t> typeNumber,
                                        std::u16string_view typeName, std::u16string_view name);

// Sets `truncated` on every item of the records whose data lies beyond the end of the file
// (the platform sizes those 0, so only empty items are asked about).
void MarkTruncated(HMODULE module, std::vector<TypeRecord>& types);

}  // namespace orvex::cli
