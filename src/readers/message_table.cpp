#include "readers/message_table.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/text/text.h"
#include "readers/reader_errors.h"
#include "readers/string_table.h"
#include "readers/text_parts.h"

namespace orvex {
namespace {

// MESSAGE_RESOURCE_BLOCK { DWORD LowId; DWORD HighId; DWORD OffsetToEntries; }
struct MessageBlock {
  uint32_t lowId;
  uint32_t highId;
  uint32_t offsetToEntries;
};
static_assert(sizeof(MessageBlock) == 12);

constexpr uint16_t kMessageResourceUnicode = 1;

// Renders the entries of one block, appending to `result` as it goes. Identifiers are signed
// 32-bit values; the block holds nothing when HighId is below LowId.
void RenderBlock(Bytes data, const MessageBlock& block, size_t maxLength, std::u16string& result) {
  const auto lowId = static_cast<int32_t>(block.lowId);
  const auto highId = static_cast<int32_t>(block.highId);
  ByteReader reader(data);
  if (lowId <= highId && !reader.Seek(block.offsetToEntries)) readers::ThrowSubscriptOutOfRange();
  for (int64_t id = lowId; id <= highId; ++id) {
    // MESSAGE_RESOURCE_ENTRY { WORD Length; WORD Flags; BYTE Text[Length - 4]; }, Length
    // counting the header and the padding.
    const auto length = reader.Read<uint16_t>();
    if (!length) readers::ThrowSubscriptOutOfRange();
    // A zero Length does not move on: every later identifier of the block would read it
    // again and yield nothing.
    if (*length == 0) return;
    const auto flags = reader.Read<uint16_t>();
    if (!flags || *length < 4) readers::ThrowSubscriptOutOfRange();
    const auto text = reader.ReadBytes(*length - 4u);
    if (!text) readers::ThrowSubscriptOutOfRange();

    std::u16string message;
    if (*flags == kMessageResourceUnicode) {
      ByteReader units(*text);
      message = *units.ReadU16String(text->size() / 2);
    } else {
      // ANSI up to the first zero byte, never beyond the entry.
      std::string_view ansi(reinterpret_cast<const char*>(text->data()), text->size());
      ansi = ansi.substr(0, ansi.find('\0'));
      message = AnsiToUnicode(ansi);
    }
    const std::u16string entry =
        readers::TrimAtNull(NormalizeLineBreaks(readers::Entry(static_cast<int32_t>(id), message)));
    if (entry.size() > maxLength - result.size()) readers::ThrowOutOfStringSpace();
    result += entry;
  }
}

}  // namespace

std::u16string GetMessageTable(Bytes data, StepRunner& steps, size_t maxLength) {
  std::u16string result;
  steps([&] { readers::RequireBytes(data.size()); });

  // MESSAGE_RESOURCE_DATA { DWORD NumberOfBlocks; MESSAGE_RESOURCE_BLOCK Blocks[]; }
  ByteReader reader(data);
  uint32_t numberOfBlocks = 0;
  steps([&] {
    const auto count = reader.Read<uint32_t>();
    if (!count) readers::ThrowSubscriptOutOfRange();
    numberOfBlocks = *count;
  });
  if (numberOfBlocks == 0) return result;

  std::vector<MessageBlock> blocks;
  steps([&] {
    // Only the records that lie within the bytes are taken; a count beyond them is reported.
    const size_t fitting = std::min<size_t>(numberOfBlocks, reader.Remaining() / 12);
    blocks.reserve(fitting);
    for (size_t b = 0; b < fitting; ++b) blocks.push_back(*reader.Read<MessageBlock>());
    if (fitting < numberOfBlocks) readers::ThrowSubscriptOutOfRange();
  });

  for (const MessageBlock& block : blocks) {
    steps([&] { RenderBlock(data, block, maxLength, result); });
  }
  return result;
}

}  // namespace orvex
