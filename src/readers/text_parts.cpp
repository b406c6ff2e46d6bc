#include "readers/text_parts.h"

#include <limits>

#include "readers/reader_errors.h"

namespace orvex::readers {

std::u16string Decimal(int64_t value) {
  std::u16string out;
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  do {
    out.insert(out.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) out.insert(out.begin(), u'-');
  return out;
}

std::u16string Entry(int32_t id, std::u16string_view text) {
  std::u16string out = Decimal(id);
  out += u": ";
  out += text;
  return out;
}

void AppendDecimal(std::u16string& out, int64_t value) {
  char16_t digits[20];
  size_t first = sizeof digits / sizeof digits[0];
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  do {
    digits[--first] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) digits[--first] = u'-';
  out.append(digits + first, digits + sizeof digits / sizeof digits[0]);
}

void AppendEntry(std::u16string& out, int32_t id, std::u16string_view text) {
  AppendDecimal(out, id);
  out += u": ";

  text = text.substr(0, text.find(u'\0'));
  out.reserve(out.size() + text.size() + 8);
  size_t from = 0;
  for (size_t at = text.find(u'\n'); at != std::u16string_view::npos;
       at = text.find(u'\n', at + 1)) {
    if (at > 0 && text[at - 1] == u'\r') continue;
    out.append(text.substr(from, at - from));
    out += u'\r';
    from = at;
  }
  out.append(text.substr(from));
}

std::u16string TrimAtNull(std::u16string text) {
  const size_t nul = text.find(u'\0');
  if (nul != std::u16string::npos) text.resize(nul);
  return text;
}

int32_t ParseLong(std::u16string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && text[begin] == u' ') ++begin;
  while (end > begin && text[end - 1] == u' ') --end;
  bool negative = false;
  if (begin < end && (text[begin] == u'+' || text[begin] == u'-')) {
    negative = text[begin] == u'-';
    ++begin;
  }
  if (begin == end) ThrowTypeMismatch();
  int64_t magnitude = 0;
  bool overflow = false;
  for (size_t i = begin; i < end; ++i) {
    const char16_t c = text[i];
    if (c < u'0' || c > u'9') ThrowTypeMismatch();
    if (!overflow) {
      magnitude = magnitude * 10 + (c - u'0');
      overflow = magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1;
    }
  }
  const int64_t value = negative ? -magnitude : magnitude;
  if (overflow || value > std::numeric_limits<int32_t>::max() ||
      value < std::numeric_limits<int32_t>::min())
    ThrowOverflow();
  return static_cast<int32_t>(value);
}

}  // namespace orvex::readers
