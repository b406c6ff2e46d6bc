#include "readers/text_parts.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>

#include "readers/reader_errors.h"

namespace orvex::readers {

std::u16string Decimal(int64_t value) {
  std::u16string out;
  AppendDecimal(out, value);
  return out;
}

std::u16string Entry(int32_t id, std::u16string_view text) {
  std::u16string out = Decimal(id);
  out += u": ";
  out += text;
  return out;
}

char16_t* DecimalBefore(char16_t* end, int64_t value) {
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char16_t* first = end;
  // Values of 32 bits, the usual ones, divide in 32-bit arithmetic.
  for (; magnitude > UINT32_MAX; magnitude /= 10)
    *--first = static_cast<char16_t>(u'0' + magnitude % 10);
  auto small = static_cast<uint32_t>(magnitude);
  do {
    *--first = static_cast<char16_t>(u'0' + small % 10);
    small /= 10;
  } while (small != 0);
  if (value < 0) *--first = u'-';
  return first;
}

void AppendDecimal(std::u16string& out, int64_t value) {
  char16_t digits[kDecimalCapacity];
  const char16_t* first = DecimalBefore(std::end(digits), value);
  out.append(first, static_cast<size_t>(std::end(digits) - first));
}

namespace {

// Non-zero when one of the four 16-bit units of `word` is zero.
uint64_t HasZeroUnit(uint64_t word) {
  return (word - 0x0001000100010001ull) & ~word & 0x8000800080008000ull;
}

}  // namespace

void AppendEntry(std::u16string& out, int32_t id, std::u16string_view text) {
  char16_t digits[kDecimalCapacity];
  const char16_t* first = DecimalBefore(std::end(digits), id);
  const auto digitCount = static_cast<size_t>(std::end(digits) - first);
  // One pass: the identifier and ": ", then the text up to its first NUL with CR before
  // every LF that does not follow a CR. The output is sized for the worst case (every
  // character an LF) and cut to length.
  const size_t start = out.size();
  out.resize(start + digitCount + 2 + 2 * text.size());
  char16_t* target = out.data() + start;
  std::copy_n(first, digitCount, target);
  target[digitCount] = u':';
  target[digitCount + 1] = u' ';
  target += digitCount + 2;
  const char16_t* source = text.data();
  const size_t size = text.size();
  size_t length = 0;
  size_t i = 0;
  while (i < size) {
    // Runs of four characters without NUL or LF copy as they stand.
    if (size - i >= 4) {
      uint64_t word;
      std::memcpy(&word, source + i, sizeof word);
      const uint64_t lineFeeds = word ^ 0x000A000A000A000Aull;
      if ((HasZeroUnit(word) | HasZeroUnit(lineFeeds)) == 0) {
        std::memcpy(target + length, source + i, sizeof word);
        length += 4;
        i += 4;
        continue;
      }
    }
    const char16_t c = source[i];
    if (c == u'\0') break;
    if (c == u'\n' && (i == 0 || source[i - 1] != u'\r')) target[length++] = u'\r';
    target[length++] = c;
    ++i;
  }
  out.resize(start + digitCount + 2 + length);
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
