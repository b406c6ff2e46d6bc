// The version text over the buffer GetFileVersionInfoA would fill from arbitrary version
// resource bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "platform/version/version.h"
#include "readers/version_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvex;
  const Bytes resource = AsBytes(data, size);
  std::vector<std::byte> block(VersionBufferSize(resource));
  if (!block.empty()) {
    (void)CopyVersionResource(resource, static_cast<DWORD>(block.size()), block.data());
  }
  StepRunner steps("clsQ7ResfResourceTypesA.GetVersionInfo",
                   [](const RuntimeError&, const std::string&) {});
  const std::u16string text = RenderVersionInfo(block, steps);
  (void)text;
  return 0;
}
