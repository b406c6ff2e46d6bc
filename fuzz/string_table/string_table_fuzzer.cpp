// GetString over arbitrary block bytes. The first byte picks the block name's form so that
// both the number parsing and the identifier walk get exercised.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/byte_reader.h"
#include "readers/string_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvex;
  static const char16_t* const kNames[] = {u"#1",         u"#7", u"#0",         u"#-3",
                                           u"#134217728", u"#x", u"#134217729", u"#4096"};
  if (size == 0) return 0;
  const std::u16string name = kNames[data[0] % 8];
  StepRunner steps("clsQ7ResfResourceTypesA.GetString",
                   [](const RuntimeError&, const std::string&) {});
  const std::u16string text = GetString(AsBytes(data + 1, size - 1), name, steps);
  // Every line ends in CR LF, and at most 16 lines start an entry.
  if (!text.empty() && text.substr(text.size() - 2) != u"\r\n") __builtin_trap();
  return 0;
}
