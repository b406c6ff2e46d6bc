// Text in the fonts the platform's windows use, from Debian's fonts-wine (FreeType through
// cairo): "MS Sans Serif", "MS Shell Dlg" / "MS Shell Dlg 2" / "Tahoma" (Tahoma), bold
// Tahoma, "Marlett", "System". Faces are loaded once per process.
#pragma once

#include <string_view>

#include "platform/win32_types.h"

namespace orvex {

struct FontSpec {
  std::string_view face = "MS Sans Serif";
  int pixelHeight = 11;  // the em height in pixels (8 pt at 96 dpi)
  bool bold = false;
};

// The height of one line of text in pixels (ascent + descent).
int FontLineHeight(const FontSpec& font);
// Draws one line of UTF-8 text with its top-left corner at (x, y) of the context behind
// `dc`, in `color` (0x00BBGGRR).
BOOL DrawTextLine(HDC dc, int x, int y, std::string_view text, const FontSpec& font,
                  COLORREF color);

}  // namespace orvex
