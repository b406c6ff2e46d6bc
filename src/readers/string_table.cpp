#include "readers/string_table.h"

#include <cstring>
#include <limits>
#include <optional>

#include "readers/reader_errors.h"
#include "readers/text_parts.h"

namespace orvex {

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
  result.reserve(data.size() / 2 + 16 * 16);  // the texts and 16 line heads
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

  // Each entry: WORD len; WCHAR text[len] (not terminated). len 0 is an absent string.
  const ByteReader reader(data);
  size_t position = 0;
  std::u16string scratch;
  for (int64_t id = *firstId; id <= int64_t{*firstId} + 15; ++id) {
    const auto i = static_cast<int32_t>(id);
    steps([&] {
      const auto length = reader.ReadAt<uint16_t>(position);
      if (!length) readers::ThrowSubscriptOutOfRange();
      if (*length == 0) {
        position += 2;
        return;
      }
      ByteReader text(data);
      if (!text.Seek(position + 2)) readers::ThrowSubscriptOutOfRange();
      const auto characters = text.ReadArray(*length, 2);
      if (!characters) readers::ThrowSubscriptOutOfRange();
      // One scratch text for every string of the block: no allocation per string.
      scratch.resize(*length);
      std::memcpy(scratch.data(), characters->data(), characters->size());
      readers::AppendEntry(result, i, scratch);
      result += u"\r\n";
      position += 2 * size_t{*length} + 2;
    });
  }
  return result;
}

}  // namespace orvex
