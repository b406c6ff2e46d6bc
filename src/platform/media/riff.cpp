#include "platform/media/riff.h"

namespace orvex {

std::string FourCcText(uint32_t code) {
  std::string text(4, '?');
  for (int i = 0; i < 4; ++i) {
    const auto c = static_cast<char>((code >> (8 * i)) & 0xFF);
    if (c >= 0x20 && c < 0x7F) text[i] = c;
  }
  return text;
}

Expected<RiffChunk> ReadRiffChunk(ByteReader& reader) {
  RiffChunk chunk;
  chunk.offset = reader.Position();
  uint32_t size = 0;
  if (!reader.TryRead(chunk.id) || !reader.TryRead(size))
    return Error{"chunk header at offset " + std::to_string(chunk.offset) + " runs past the end"};
  auto body = reader.ReadBytes(size);
  if (!body)
    return Error{"chunk '" + FourCcText(chunk.id) + "' of " + std::to_string(size) +
                 " bytes at offset " + std::to_string(chunk.offset) + " runs past the end"};
  chunk.body = *body;
  if (size & 1) (void)reader.Skip(1);
  if (chunk.id == FourCc("RIFF") || chunk.id == FourCc("LIST")) {
    ByteReader inner(chunk.body);
    if (!inner.TryRead(chunk.listType))
      return Error{"list '" + FourCcText(chunk.id) + "' at offset " + std::to_string(chunk.offset) +
                   " has no type"};
    chunk.body = chunk.body.subspan(4);
  }
  return chunk;
}

Expected<RiffChunk> ReadRiffForm(Bytes file, uint32_t formType) {
  ByteReader reader(file);
  auto id = reader.ReadAt<uint32_t>(0);
  if (!id || *id != FourCc("RIFF")) return Error{"not a RIFF file"};
  auto form = ReadRiffChunk(reader);
  if (!form) return form.GetError().In("RIFF header");
  if (form->listType != formType)
    return Error{"RIFF form is '" + FourCcText(form->listType) + "', not '" + FourCcText(formType) +
                 "'"};
  return form;
}

}  // namespace orvex
