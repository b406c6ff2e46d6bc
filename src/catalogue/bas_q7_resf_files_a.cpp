#include "catalogue/bas_q7_resf_files_a.h"

#include "base/runtime_error.h"
#include "platform/text/text.h"

namespace orvex {

std::u16string GetFileBaseName(std::u16string_view path) {
  if (path.empty()) return {};
  char16_t separator = path.find(u'/') != std::u16string_view::npos ? u'/' : u'\\';
  size_t slash = path.rfind(separator);
  std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
  // Splitting an empty name gives no pieces at all, so there is no first piece to take.
  if (name.empty()) throw RuntimeError(Err::SubscriptOutOfRange);
  return std::u16string(name.substr(0, name.find(u'.')));
}

namespace {

bool IsWordSeparator(char16_t c) {
  return c == 0 || c == u'\t' || c == u'\n' || c == 0x0B || c == 0x0C || c == u'\r' || c == u' ';
}

}  // namespace

std::u16string ProperCase(std::u16string_view text) {
  std::u16string out(text);
  bool wordStart = true;
  for (char16_t& c : out) {
    if (IsWordSeparator(c)) {
      wordStart = true;
      continue;
    }
    c = wordStart ? UpperCase(c) : LowerCase(c);
    wordStart = false;
  }
  return out;
}

}  // namespace orvex
