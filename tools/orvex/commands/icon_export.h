// One group icon or group cursor written as `orvex icons` writes it: the .ico / .cur file
// and a PNG per image. `orvex icons` and `orvex dump` share it.
#pragma once

#include <cstddef>
#include <string>

#include "catalogue_client.h"
#include "output_folder.h"

namespace orvex::cli {

struct IconCounts {
  size_t skipped = 0;
  size_t beyondEnd = 0;  // groups with data beyond the end of the file
};

// `name` as commands take it ("#1" or a name).
void ExportGroup(CatalogueClient& client, bool cursor, const std::u16string& name,
                 OutputFolder& out, IconCounts& counts);

}  // namespace orvex::cli
