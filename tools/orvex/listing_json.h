// The catalogue as JSON records, mirroring the object model's records and members: what
// `orvex list --json` prints and what the web viewer's /api/list answers. Two fields are the
// client's own, so that the same module always gives the same JSON: a type's "Type" (its
// number, or the name of a named type, whose "Style" is null), and an item's "truncated"
// (its data lies beyond the end of the file).
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "catalogue_client.h"

namespace orvex::cli {

nlohmann::ordered_json ListingJson(const std::string& file, const std::vector<TypeRecord>& types);

}  // namespace orvex::cli
