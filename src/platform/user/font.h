// Fonts of the stand-in: the platform's face names mapped onto the TrueType and bitmap (.fon)
// files of the fonts-wine package, measured and drawn through FreeType and cairo. A font is its
// face name, height, weight and slant; fonts are cached, so asking again for one is cheap.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/surface_capture.h"
#include "platform/win32_types.h"

namespace orvex {

// What a font is asked for as. `height` follows the platform's rule: negative for the em
// height in pixels (the size of the characters), positive for the cell height (ascent plus
// descent).
struct FontRequest {
  std::string face;
  int height = -11;
  int weight = FW_NORMAL;
  bool italic = false;
};

// The em height in pixels of a size in points at 96 pixels per inch, as a negative height
// for FontRequest (8 pt gives -11).
int HeightForPoints(double points);

class Font {
 public:
  virtual ~Font() = default;
  virtual const TEXTMETRICA& Metrics() const = 0;
  // The advance of ANSI text in whole pixels (width) and the cell height.
  virtual SIZE TextExtent(std::string_view ansi) const = 0;
  // Draws ANSI text with its cell's top-left corner at (x, y) in the current source.
  virtual void Draw(cairo_t* context, double x, double y, std::string_view ansi) const = 0;
  // The file the face was loaded from, for diagnostics.
  virtual const std::string& FilePath() const = 0;
};

// The font for `request`, or null when no face file can be loaded. Unknown face names fall
// back to Tahoma, as the platform substitutes a default face.
std::shared_ptr<const Font> GetFont(const FontRequest& request);

// Font handles, as WM_SETFONT passes them: a handle names one request for the process's life
// (handles of equal requests are equal). 0 when no face file loads.
HFONT CreateFontForRequest(const FontRequest& request);
// The font of a handle, or null for one that is not a font.
std::shared_ptr<const Font> FontOfHandle(HFONT font);
// The font windows draw with before they are given one: the system font.
FontRequest SystemFontRequest();

// Text drawn while a TextRecorder is installed on the thread is recorded instead of drawn:
// an SVG capture writes it as text elements, so the texts stay text.
class TextRecorder {
 public:
  TextRecorder();
  ~TextRecorder();
  TextRecorder(const TextRecorder&) = delete;
  TextRecorder& operator=(const TextRecorder&) = delete;
  std::vector<RecordedText>& texts() { return texts_; }

 private:
  TextRecorder* outer_;
  std::vector<RecordedText> texts_;
};

// Records ANSI text drawn with its baseline starting at (x, baseline) in user space when a
// TextRecorder is installed on the thread; false when none is (the caller draws it then).
// `pixelHeight` is the em height the text is drawn at.
bool RecordDrawnText(cairo_t* context, double x, double baseline, double pixelHeight,
                     const FontRequest& request, std::string_view ansi);

// The folder of the face files (the fonts-wine package's), overridable for tests.
void SetFontFolderForTesting(const std::string& folder);

}  // namespace orvex
