// STRINGTABLE: a block holds 16 strings, each a WORD length and that many UTF-16 units; the
// compiler writes every block whole, absent strings as length 0.
#include "rc_script/rc_statements.h"
#include "rc_script/rc_text.h"

namespace orvex::rc {

Expected<std::string> StringTableStatement(Bytes data, uint16_t block) {
  if (block == 0) return Error{"block 0 holds no identifiers"};
  ByteReader reader(data);
  std::string body;
  Encoder encoded;
  bool any = false;
  for (uint32_t i = 0; i < 16; ++i) {
    uint16_t length = 0;
    if (!reader.TryRead(length)) return Error{"string " + std::to_string(i) + " is cut short"};
    auto units = reader.ReadArray(length, 2);
    if (!units) return units.GetError().In("string " + std::to_string(i));
    std::u16string text(length, u'\0');
    for (size_t k = 0; k < length; ++k)
      text[k] = static_cast<char16_t>(std::to_integer<uint16_t>((*units)[2 * k]) |
                                      std::to_integer<uint16_t>((*units)[2 * k + 1]) << 8);
    encoded.Word(length);
    for (char16_t c : text) encoded.Word(c);
    if (length == 0) continue;
    any = true;
    body += "  " + std::to_string((uint32_t{block} - 1) * 16 + i) + ", " + Quote(text) + "\n";
  }
  if (!any) return Error{"the block holds no string"};
  if (!SameBytes(encoded, data.data(), data.size())) return Error{"bytes after the 16 strings"};
  return "STRINGTABLE\nBEGIN\n" + body + "END\n";
}

}  // namespace orvex::rc
