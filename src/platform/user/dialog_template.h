// Dialog templates (resource type 5) in both layouts: the classic DLGTEMPLATE and the
// extended DLGTEMPLATEEX. The parsed model keeps the header, the font and every item as
// the template states them; sizing and window creation work from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "base/expected.h"
#include "platform/win32_types.h"

namespace orvex {

inline constexpr DWORD DS_SETFONT = 0x40;
inline constexpr DWORD DS_FIXEDSYS = 0x08;
inline constexpr DWORD DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;

// A template string: either an ordinal (0xFFFF followed by a WORD) or text.
struct DialogName {
  bool isOrdinal = false;
  WORD ordinal = 0;
  std::u16string text;
};

struct DialogFont {
  WORD pointSize = 0;
  WORD weight = 0;   // extended layout only
  BYTE italic = 0;   // extended layout only
  BYTE charset = 0;  // extended layout only
  std::u16string face;
};

struct DialogItem {
  DWORD id = 0;  // a WORD in the classic layout
  DWORD style = 0;
  DWORD exStyle = 0;
  DWORD helpId = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  DialogName windowClass;  // ordinals 0x80..0x85 name the predefined classes
  DialogName title;
  WORD creationDataSize = 0;
};

struct DialogTemplate {
  bool extended = false;
  DWORD helpId = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  DialogName menu;
  DialogName windowClass;
  DialogName title;
  bool hasFont = false;
  DialogFont font;
  std::vector<DialogItem> items;
};

// The class name of a predefined class ordinal (0x80 Button .. 0x85 ComboBox), or empty.
const char16_t* PredefinedDialogClass(WORD ordinal);

// Converts a dialog-unit coordinate to pixels as MapDialogRect does: horizontal units are a
// quarter of the base width, vertical ones an eighth of the base height, rounded as MulDiv
// rounds (half away from zero).
inline int DialogUnitsToPixels(int units, int base, int divisor) {
  const long long scaled = static_cast<long long>(units) * base;
  const long long half = divisor / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / divisor : -((-scaled + half) / divisor));
}

// Parses a template; fails on anything that runs past the bytes, including an item count
// the remaining bytes cannot hold.
Expected<DialogTemplate> ParseDialogTemplate(Bytes data);

}  // namespace orvex
