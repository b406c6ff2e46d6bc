// The lexical pieces of a resource script as the resource compiler reads them: quoted
// texts, identifiers, numbers, language statements, and the little-endian writer the
// statement writers use to check that a statement compiles back to the stored bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvex::rc {

// A text as a quoted string: UTF-8 in "..." (the script declares code page 65001), with
// "" for a quote, \\ \t \n \r and \xHH for other control characters; a text the code page
// cannot carry (an unpaired surrogate) as L"..." with \xHHHH escapes.
std::string Quote(std::u16string_view text);

// A type or resource name as the compiler reads it: a number, a bare word, or a quoted
// name. Nothing when the compiler cannot give it back as stored (it stores every name in
// upper case, and takes types only as numbers or bare words).
struct Id {
  bool named = false;
  uint16_t number = 0;
  std::u16string name;
};
std::optional<std::string> NameToken(const Id& id);
std::optional<std::string> TypeToken(const Id& id);
std::string IdText(const Id& id);  // for messages: "#12" or the name

std::string Hex(uint32_t value);  // 0x1F

// "LANGUAGE 0x09, 0x01" for a language identifier.
std::string LanguageStatement(uint16_t language);

// Bytes as the compiler writes them.
class Encoder {
 public:
  void Word(uint16_t value);
  void Dword(uint32_t value);
  void Text(std::u16string_view text);  // with its terminator
  void NameOrOrdinal(bool isOrdinal, uint16_t ordinal, std::u16string_view text);
  void Align(size_t alignment);
  void PatchWord(size_t at, uint16_t value);
  size_t Size() const { return bytes_.size(); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// Whether the encoded bytes equal the stored ones.
bool SameBytes(const Encoder& encoded, const void* data, size_t size);

}  // namespace orvex::rc
