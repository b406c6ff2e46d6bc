// GetAccelerators over arbitrary table bytes: one line per whole 8-byte record.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/byte_reader.h"
#include "readers/accelerators.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvex;
  StepRunner steps("clsQ7ResfResourceTypesA.GetAccelerators",
                   [](const RuntimeError&, const std::string&) {});
  const std::u16string text = GetAccelerators(AsBytes(data, size), steps);
  size_t lines = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i) lines += text[i] == u'\r' && text[i + 1] == u'\n';
  if (lines != size / 8) __builtin_trap();
  return 0;
}
