// The JSON records of the text commands over arbitrary resource bytes: a string block, a
// message table, and a version resource as the platform's version functions copy it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/byte_reader.h"
#include "platform/version/version.h"
#include "text_json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvex;
  const Bytes bytes = AsBytes(data, size);
  (void)cli::StringBlockJson(7, bytes);
  (void)cli::MessageTableJson("#1", bytes);
  std::vector<uint8_t> block(VersionBufferSize(bytes));
  if (!block.empty() && CopyVersionResource(bytes, static_cast<DWORD>(block.size()), block.data()))
    (void)cli::VersionJson(AsBytes(block.data(), block.size()));
  return 0;
}
