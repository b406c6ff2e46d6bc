// The menu outline over whatever menu the platform builds from arbitrary template bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/byte_reader.h"
#include "platform/user/menu.h"
#include "readers/menu_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orvex;
  StepRunner steps("clsQ7ResfResourceTypesA.GetMenuText",
                   [](const RuntimeError&, const std::string&) { __builtin_trap(); });
  std::u16string threadMenuText = u"stale";
  const std::u16string text =
      RenderMenuText([&] { return LoadMenuFromBytes(AsBytes(data, size)); }, threadMenuText, steps);
  // Every line ends in CR LF, and every menu built is destroyed again.
  if (!text.empty() && text.substr(text.size() - 2) != u"\r\n") __builtin_trap();
  if (LiveMenuCountForTesting() != 0) __builtin_trap();
  return 0;
}
