// Base64 of bytes, for the data URLs the viewer's answers carry.
#include "web/base64.h"

#include <cstdint>

namespace orvex::cli {

std::string Base64(const std::string& bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const uint32_t n = static_cast<uint8_t>(bytes[i]) << 16 |
                       (i + 1 < bytes.size() ? static_cast<uint8_t>(bytes[i + 1]) << 8 : 0) |
                       (i + 2 < bytes.size() ? static_cast<uint8_t>(bytes[i + 2]) : 0);
    out += kDigits[n >> 18];
    out += kDigits[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
  }
  return out;
}

}  // namespace orvex::cli
