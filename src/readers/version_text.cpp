#include "readers/version_text.h"

#include <cstdint>
#include <functional>
#include <string>

#include "base/byte_reader.h"
#include "platform/text/text.h"
#include "platform/version/version.h"
#include "platform/version/version_block.h"
#include "readers/pad_with_zeros.h"
#include "readers/reader_errors.h"

namespace orvex {
namespace {

std::u16string HexByte(std::byte value) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  const auto v = static_cast<uint8_t>(value);
  return PadWithZeros(std::u16string(1, kDigits[v >> 4]) + kDigits[v & 0xF], 2);
}

// The bytes from `address` to the end of `block`, or nothing when the address lies outside
// it: values are read only within the buffer the platform filled.
Expected<Bytes> TailFrom(const std::vector<std::byte>& block, const void* address) {
  const auto begin = reinterpret_cast<uintptr_t>(block.data());
  const auto at = reinterpret_cast<uintptr_t>(address);
  if (address == nullptr || at < begin || at >= begin + block.size())
    return Error{"value lies outside the version buffer"};
  return Bytes(block).subspan(at - begin);
}

bool IsStringFileInfo(std::u16string_view key) {
  return EqualsIgnoringCase(key, u"StringFileInfo");
}

// The key of the first string table under "StringFileInfo", or the empty text when the
// block holds none: the translation used when no language and code-page pair is declared.
std::string FirstStringTableKey(Bytes block) {
  std::u16string found;
  bool insideStringFileInfo = false;
  (void)WalkVersionTree(block, [&](const VersionNode& node, int depth) {
    if (depth == 1) insideStringFileInfo = IsStringFileInfo(node.key);
    if (depth == 2 && insideStringFileInfo && found.empty()) found = node.key;
  });
  return UnicodeToAnsi(found);
}

}  // namespace

std::u16string RenderVersionInfo(const std::vector<std::byte>& versionBlock, StepRunner& steps) {
  std::u16string result;

  // "\VarFileInfo\Translation": WORD language, WORD code page; only the first pair is used.
  // The key is the language and the code page as 4 hexadecimal digits each (b1 b0 b3 b2).
  std::string translation;
  const bool declared = steps([&] {
    if (versionBlock.empty()) readers::ThrowSubscriptOutOfRange();
    void* value = nullptr;
    UINT length = 0;
    (void)VerQueryValueA(versionBlock.data(), "\\VarFileInfo\\Translation", &value, &length);
    const auto tail = TailFrom(versionBlock, value);
    if (!tail || length < 4 || tail->size() < 4) readers::ThrowSubscriptOutOfRange();
    const Bytes pair = tail->first(4);
    translation =
        UnicodeToAnsi(HexByte(pair[1]) + HexByte(pair[0]) + HexByte(pair[3]) + HexByte(pair[2]));
  });
  // Without a declared pair the keys are looked up in the first string table, whatever
  // its language: a block that names no translation still shows its strings.
  if (!declared) translation = FirstStringTableKey(versionBlock);

  for (const char* key : kVersionKeys) {
    steps([&] {
      if (versionBlock.empty()) readers::ThrowSubscriptOutOfRange();
      const std::string subBlock = "\\StringFileInfo\\" + translation + "\\" + key;
      void* value = nullptr;
      UINT length = 0;
      if (!VerQueryValueA(versionBlock.data(), subBlock.c_str(), &value, &length)) return;
      const auto tail = TailFrom(versionBlock, value);
      if (!tail) return;
      // A zero-terminated ANSI value; one that runs to the buffer's end is cut there.
      ByteReader reader(*tail);
      std::string text;
      if (auto terminated = reader.ReadCString()) {
        text = std::move(*terminated);
      } else {
        text.assign(reinterpret_cast<const char*>(tail->data()), tail->size());
      }
      if (text.empty()) return;
      result += AnsiToUnicode(key);
      result += u":\r\n\t";
      result += AnsiToUnicode(text);
      result += u"\r\n";
    });
  }
  return result;
}

std::u16string GetVersionInfo(const std::string& fileName, StepRunner& steps) {
  DWORD size = 0;
  steps([&] {
    DWORD unused = 0;
    size = GetFileVersionInfoSizeA(fileName.c_str(), &unused);
  });
  std::vector<std::byte> block;
  steps([&] {
    if (size == 0) readers::ThrowSubscriptOutOfRange();  // an array of no bytes
    block.assign(size, std::byte{0});
  });
  steps([&] {
    if (block.empty()) readers::ThrowSubscriptOutOfRange();
    (void)GetFileVersionInfoA(fileName.c_str(), 0, size, block.data());
  });
  return RenderVersionInfo(block, steps);
}

}  // namespace orvex
