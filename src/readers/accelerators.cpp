#include "readers/accelerators.h"

#include <string_view>
#include <vector>

#include "readers/reader_errors.h"
#include "readers/text_parts.h"

namespace orvex {

using namespace std::string_view_literals;

namespace {

struct KeyName {
  int32_t code;
  const char16_t* text;
};

// The named virtual keys; digits, letters and F1 to F16 are formed from their codes.
constexpr KeyName kKeyNames[] = {
    {3, u"CANCEL"},      {8, u"BACKSPACE"},     {9, u"TAB"},          {12, u"CLEAR"},
    {13, u"ENTER"},      {16, u"SHIFT"},        {17, u"CTRL"},        {18, u"MENU"},
    {19, u"PAUSE"},      {20, u"CAPS LOCK"},    {27, u"ESC"},         {32, u"SPACEBAR"},
    {33, u"PAGE UP"},    {34, u"PAGE DOWN"},    {35, u"END"},         {36, u"HOME"},
    {37, u"LEFT ARROW"}, {38, u"UP ARROW"},     {39, u"RIGHT ARROW"}, {40, u"DOWN ARROW"},
    {41, u"SELECT"},     {42, u"PRINT SCREEN"}, {43, u"EXECUTE"},     {44, u"SNAPSHOT"},
    {45, u"INS"},        {46, u"DEL"},          {47, u"HELP"},        {144, u"NUM LOCK"},
};

// ACCELTABLEENTRY { WORD fFlags; WORD wAnsi; WORD wId; WORD padding; }
struct AccelTableEntry {
  uint16_t fFlags;
  uint16_t wAnsi;
  uint16_t wId;
  uint16_t padding;
};
static_assert(sizeof(AccelTableEntry) == 8);

constexpr uint16_t FSHIFT = 0x04;
constexpr uint16_t FCONTROL = 0x08;
constexpr uint16_t FALT = 0x10;

}  // namespace

std::u16string VirtualKeyName(int32_t keyCode) {
  if ((keyCode >= 0x30 && keyCode <= 0x39) || (keyCode >= 0x41 && keyCode <= 0x5A))
    return std::u16string(1, static_cast<char16_t>(keyCode));
  if (keyCode >= 0x70 && keyCode <= 0x7F) return u"F" + readers::Decimal(keyCode - 0x6F);
  for (const KeyName& key : kKeyNames) {
    if (key.code == keyCode) return key.text;
  }
  return u"Virtual Key " + readers::Decimal(keyCode);
}

std::u16string GetAccelerators(Bytes data, StepRunner& steps) {
  std::u16string result;
  steps([&] { readers::RequireBytes(data.size()); });

  size_t count = 0;
  steps([&] {
    if (data.empty()) readers::ThrowSubscriptOutOfRange();  // no upper bound to count from
    count = data.size() / sizeof(AccelTableEntry);
  });

  std::vector<AccelTableEntry> entries;
  steps([&] {
    if (count == 0) readers::ThrowSubscriptOutOfRange();  // an array of no records
    entries.reserve(count);
  });
  steps([&] {
    if (count == 0) readers::ThrowSubscriptOutOfRange();
    ByteReader reader(data);
    AccelTableEntry entry;
    for (size_t i = 0; i < count && reader.TryRead(entry); ++i) entries.push_back(entry);
  });

  result.reserve(entries.size() * 32);
  for (const AccelTableEntry& entry : entries) {
    if (entry.fFlags & FSHIFT) result += u"Shift+"sv;
    if (entry.fFlags & FCONTROL) result += u"Ctrl+"sv;
    if (entry.fFlags & FALT) result += u"Alt+"sv;
    const auto key = static_cast<int16_t>(entry.wAnsi);
    if ((key >= 0x30 && key <= 0x39) || (key >= 0x41 && key <= 0x5A)) {
      result += static_cast<char16_t>(key);  // VirtualKeyName's single characters, in place
    } else {
      result += VirtualKeyName(key);
    }
    result += u" (cmdID = "sv;
    readers::AppendDecimal(result, static_cast<int16_t>(entry.wId));
    result += u")\r\n"sv;
  }
  return result;
}

}  // namespace orvex
