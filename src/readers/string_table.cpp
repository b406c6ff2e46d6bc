#include "readers/string_table.h"

#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

#include "readers/reader_errors.h"
#include "readers/text_parts.h"

namespace orvex {

using namespace std::string_view_literals;

std::u16string ReplaceText(std::u16string_view source, std::u16string_view search,
                           std::u16string_view replacement) {
  if (source.empty() || search.empty()) return std::u16string(source);
  std::u16string out;
  out.reserve(source.size());
  size_t from = 0;
  for (;;) {
    const size_t hit = source.find(search, from);
    if (hit == std::u16string_view::npos) break;
    out.append(source.substr(from, hit - from));
    out.append(replacement);
    from = hit + search.size();
  }
  out.append(source.substr(from));
  return out;
}

std::u16string NormalizeLineBreaks(std::u16string_view text) {
  return ReplaceText(ReplaceText(text, u"\n", u"\r\n"), u"\r\r\n", u"\r\n");
}

std::u16string GetString(Bytes data, std::u16string_view resName, StepRunner& steps) {
  std::u16string result;
  result.reserve(data.size() / 2 + size_t{16} * 16);  // the texts and 16 line heads
  steps([&] { readers::RequireBytes(data.size()); });

  // Identifiers (n - 1) * 16 to n * 16 - 1 of block n.
  std::optional<int32_t> firstId;
  steps([&] {
    const int32_t block = readers::ParseLong(resName.empty() ? resName : resName.substr(1));
    const int64_t first = (int64_t{block} - 1) * 16;
    const int64_t last = int64_t{block} * 16 - 1;
    if (first < std::numeric_limits<int32_t>::min() || last > std::numeric_limits<int32_t>::max())
      readers::ThrowOverflow();
    firstId = static_cast<int32_t>(first);
  });
  if (!firstId) return result;

  // Each entry: WORD len; WCHAR text[len] (not terminated). len 0 is an absent string. A
  // length or text past the end fails that entry's step and leaves the reader where it
  // was, so every later entry fails the same way.
  ByteReader reader(data);
  std::u16string scratch;
  for (int64_t id = *firstId; id <= int64_t{*firstId} + 15; ++id) {
    const auto i = static_cast<int32_t>(id);
    steps([&] {
      const size_t entryStart = reader.Position();
      uint16_t length = 0;
      if (!reader.TryRead(length)) readers::ThrowSubscriptOutOfRange();
      if (length == 0) return;
      const auto characters = reader.ReadArray(length, 2);
      if (!characters) {
        (void)reader.Seek(entryStart);
        readers::ThrowSubscriptOutOfRange();
      }
      // One scratch text for every string of the block: no allocation per string.
      scratch.resize(length);
      std::memcpy(scratch.data(), characters->data(), characters->size());
      readers::AppendEntry(result, i, scratch);
      result += u"\r\n"sv;
    });
  }
  return result;
}

}  // namespace orvex
