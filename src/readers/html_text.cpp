#include "readers/html_text.h"

#include <string_view>

#include "platform/text/text.h"

namespace orvex {

std::u16string GetHTML(Bytes data) {
  return AnsiToUnicode(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

}  // namespace orvex
