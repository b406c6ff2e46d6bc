#include "listing_json.h"

#include <optional>

#include "platform/text/text.h"

namespace orvex::cli {

using Json = nlohmann::ordered_json;

Json ListingJson(const std::string& file, const std::vector<TypeRecord>& types) {
  Json out;
  out["file"] = file;
  Json& records = out["types"] = Json::array();
  for (const TypeRecord& type : types) {
    Json record;
    record["Index"] = type.Index;
    record["NameLong"] = Utf16ToUtf8(type.NameLong);
    record["Comments"] = Utf16ToUtf8(type.Comments);
    // A named type's Style stood for the name during the enumeration (an address that
    // differs from run to run): null, with the name in Type; a numbered type's is its number.
    const std::optional<uint32_t> number = TypeNumber(type);
    record["Style"] = number ? Json(type.Style) : Json(nullptr);
    record["Type"] = number ? Json(*number) : Json(Utf16ToUtf8(type.NameLong));
    Json& items = record["ResourceItems"] = Json::array();
    for (const ItemRecord& item : type.ResourceItems) {
      items.push_back(Json{{"Index", item.Index},
                           {"NameLong", Utf16ToUtf8(item.NameLong)},
                           {"ID", Utf16ToUtf8(item.ID)},
                           {"Size", item.Size},
                           {"Comments", Utf16ToUtf8(item.Comments)},
                           {"truncated", item.truncated}});
    }
    records.push_back(std::move(record));
  }
  return out;
}

}  // namespace orvex::cli
