// GetMessageTable over arbitrary table bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/byte_reader.h"
#include "readers/message_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvex;
  StepRunner steps("clsQ7ResfResourceTypesA.GetMessageTable",
                   [](const RuntimeError&, const std::string&) {});
  const std::u16string text = GetMessageTable(AsBytes(data, size), steps);
  (void)text;
  return 0;
}
