// Dialog templates of both layouts: parse and check the item list against the bytes.
#include <cstddef>
#include <cstdint>

#include "platform/user/dialog_template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto parsed = orvex::ParseDialogTemplate(orvex::AsBytes(data, size));
  if (parsed && parsed->items.size() * 24 > size + 24) __builtin_trap();  // items need bytes
  return 0;
}
