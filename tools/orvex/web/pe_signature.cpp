// Whether a file starts as a PE image does: "MZ", and "PE\0\0" where e_lfanew points.
#include "web/pe_signature.h"

#include <cstdint>
#include <fstream>

namespace orvex::cli {

namespace fs = std::filesystem;

bool LooksLikePe(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  char header[64] = {};
  if (!in.read(header, sizeof header) || header[0] != 'M' || header[1] != 'Z') return false;
  uint32_t offset = 0;
  for (int i = 0; i < 4; ++i)
    offset |= static_cast<uint32_t>(static_cast<uint8_t>(header[60 + i])) << (8 * i);
  char signature[4] = {};
  in.seekg(offset);
  return in.read(signature, 4) && signature[0] == 'P' && signature[1] == 'E' && !signature[2] &&
         !signature[3];
}

}  // namespace orvex::cli
