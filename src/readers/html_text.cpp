#include "readers/html_text.h"

#include <string_view>

#include "platform/text/text.h"

namespace orvex {

namespace {
std::string_view AsAnsi(Bytes data) {
  return {reinterpret_cast<const char*>(data.data()), data.size()};
}
}  // namespace

std::u16string GetHTML(Bytes data) {
  return AnsiToUnicode(AsAnsi(data));
}

void WriteHTML(Bytes data, char16_t* out) {
  AnsiToUnicode(AsAnsi(data), out);
}

}  // namespace orvex
