// Icon and cursor group directories: parse, then assemble a file with images made from the
// input's own bytes, and check the file's directory points inside the file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "renderers/icon_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto group = orvex::ReadIconDirectory(orvex::AsBytes(data, size));
  if (!group) return 0;
  std::vector<std::vector<uint8_t>> images;
  for (size_t i = 0; i < group->entries.size(); ++i) {
    const size_t length = (group->entries[i].id * 7u) % (size + 1);
    images.emplace_back(data, data + length);
  }
  const std::vector<uint8_t> file = orvex::AssembleIconFile(*group, images);
  const size_t count = file[4] | file[5] << 8;
  if (file.size() < 6 + 16 * count) __builtin_trap();
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* entry = file.data() + 6 + 16 * i;
    const uint32_t bytes = entry[8] | entry[9] << 8 | entry[10] << 16 | uint32_t{entry[11]} << 24;
    const uint32_t offset =
        entry[12] | entry[13] << 8 | entry[14] << 16 | uint32_t{entry[15]} << 24;
    if (uint64_t{offset} + bytes > file.size()) __builtin_trap();
  }
  return 0;
}
