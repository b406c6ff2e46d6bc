// The catalogue as JSON records, mirroring the object model's records and members: what
// `orvex list --json` prints and what the web viewer's /api/list answers.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "catalogue_client.h"

namespace orvex::cli {

nlohmann::ordered_json ListingJson(const std::string& file, const std::vector<TypeRecord>& types);

}  // namespace orvex::cli
