#include "platform/user/draw.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

namespace orvex {
namespace {

void Fill(cairo_t* cr, int x, int y, int w, int h, COLORREF color) {
  if (w <= 0 || h <= 0) return;
  SetSourceColor(cr, color);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
}

// One ring of an edge: top and left in `topLeft`, bottom and right in `bottomRight`.
void Ring(cairo_t* cr, const RECT& r, int topLeft, int bottomRight) {
  const COLORREF tl = GetSysColor(topLeft), br = GetSysColor(bottomRight);
  Fill(cr, r.left, r.top, Width(r) - 1, 1, tl);
  Fill(cr, r.left, r.top, 1, Height(r) - 1, tl);
  Fill(cr, r.left, r.bottom - 1, Width(r), 1, br);
  Fill(cr, r.right - 1, r.top, 1, Height(r), br);
}

// A line of laid-out text: its bytes with the prefix characters still in.
struct Line {
  std::string text;
};

// Removes the "&" prefixes; `underline` receives the index of the underlined character in
// the result, or npos.
std::string StripPrefixes(std::string_view text, size_t* underline) {
  std::string out;
  *underline = std::string::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != '&' && *underline == std::string::npos) *underline = out.size();
    } else if (text[i] == '&') {
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

int LineWidth(const Font& font, std::string_view text, bool prefixes) {
  if (!prefixes) return font.TextExtent(text).cx;
  size_t underline;
  return font.TextExtent(StripPrefixes(text, &underline)).cx;
}

// Breaks text into lines at line ends, and at spaces where a line would pass `width`.
std::vector<Line> LayOut(const Font& font, std::string_view text, int width, UINT format) {
  std::vector<Line> lines;
  const bool prefixes = !(format & DT_NOPREFIX);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view paragraph = text.substr(start, end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
    if (format & DT_SINGLELINE) paragraph = text;
    if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE)) {
      lines.push_back(Line{std::string(paragraph)});
    } else {
      // Greedy wrapping at spaces; a word longer than the width stays on its own line.
      std::string current;
      size_t i = 0;
      while (i < paragraph.size()) {
        size_t wordEnd = paragraph.find(' ', i);
        if (wordEnd == std::string_view::npos) wordEnd = paragraph.size();
        const std::string_view word = paragraph.substr(i, wordEnd - i);
        std::string candidate =
            current.empty() ? std::string(word) : current + " " + std::string(word);
        if (!current.empty() && LineWidth(font, candidate, prefixes) > width) {
          lines.push_back(Line{current});
          current = std::string(word);
        } else {
          current = std::move(candidate);
        }
        i = wordEnd + 1;
      }
      lines.push_back(Line{current});
    }
    if (format & DT_SINGLELINE) break;
    start = end + 1;
    if (end == text.size()) break;
  }
  return lines;
}

}  // namespace

void SetSourceColor(cairo_t* cr, COLORREF color) {
  cairo_set_source_rgb(cr, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                       ((color >> 16) & 0xFF) / 255.0);
}

void FillSolid(cairo_t* cr, const RECT& rect, COLORREF color) {
  Fill(cr, rect.left, rect.top, Width(rect), Height(rect), color);
}

void FillSysColor(cairo_t* cr, const RECT& rect, int colorIndex) {
  FillSolid(cr, rect, GetSysColor(colorIndex));
}

void FrameSolid(cairo_t* cr, const RECT& r, COLORREF color) {
  Fill(cr, r.left, r.top, Width(r), 1, color);
  Fill(cr, r.left, r.bottom - 1, Width(r), 1, color);
  Fill(cr, r.left, r.top, 1, Height(r), color);
  Fill(cr, r.right - 1, r.top, 1, Height(r), color);
}

RECT DrawEdgeRings(cairo_t* cr, RECT rect, UINT edge) {
  if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
    if (edge & BDR_RAISEDOUTER)
      Ring(cr, rect, (edge & BF_SOFT) ? COLOR_3DHILIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW);
    else
      Ring(cr, rect, (edge & BF_SOFT) ? COLOR_3DDKSHADOW : COLOR_3DSHADOW, COLOR_3DHILIGHT);
    rect = {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
  }
  if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
    if (edge & BDR_RAISEDINNER)
      Ring(cr, rect, (edge & BF_SOFT) ? COLOR_3DLIGHT : COLOR_3DHILIGHT, COLOR_3DSHADOW);
    else
      Ring(cr, rect, (edge & BF_SOFT) ? COLOR_3DSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT);
    rect = {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
  }
  return rect;
}

int PrefixedTextWidth(const Font& font, std::string_view text) {
  return LineWidth(font, text, true);
}

int DrawTextInRect(cairo_t* cr, const Font& font, std::string_view text, const RECT& rect,
                   UINT format, COLORREF color) {
  const std::vector<Line> lines = LayOut(font, text, Width(rect), format);
  const int lineHeight = font.Metrics().tmHeight;
  const int total = lineHeight * static_cast<int>(lines.size());
  int y = rect.top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rect.top + (Height(rect) - lineHeight) / 2;
    if (format & DT_BOTTOM) y = rect.bottom - lineHeight;
  }
  cairo_save(cr);
  if (!(format & DT_NOCLIP)) {
    cairo_rectangle(cr, rect.left, rect.top, Width(rect), Height(rect));
    cairo_clip(cr);
  }
  SetSourceColor(cr, color);
  for (const Line& line : lines) {
    size_t underline = std::string::npos;
    const std::string shown =
        (format & DT_NOPREFIX) ? line.text : StripPrefixes(line.text, &underline);
    const int width = font.TextExtent(shown).cx;
    int x = rect.left;
    if (format & DT_CENTER) x = rect.left + (Width(rect) - width) / 2;
    if (format & DT_RIGHT) x = rect.right - width;
    font.Draw(cr, x, y, shown);
    if (underline != std::string::npos) {
      const int before = font.TextExtent(std::string_view(shown).substr(0, underline)).cx;
      const int w = font.TextExtent(std::string_view(shown).substr(underline, 1)).cx;
      Fill(cr, x + before, y + font.Metrics().tmAscent + 1, w, 1, color);
    }
    y += lineHeight;
  }
  cairo_restore(cr);
  return total;
}

void DrawMarlett(cairo_t* cr, const RECT& rect, char symbol, int pixelHeight, COLORREF color) {
  const auto font = GetFont(FontRequest{"Marlett", -pixelHeight, FW_NORMAL, false});
  if (!font) return;
  const char text[2] = {symbol, '\0'};
  const int w = font->TextExtent(text).cx;
  const int h = font->Metrics().tmHeight;
  // Centred on whole pixels, as the platform places text.
  const int x = rect.left + (Width(rect) - w) / 2;
  const int y = rect.top + (Height(rect) - h) / 2;
  cairo_save(cr);
  SetSourceColor(cr, color);
  font->Draw(cr, x, y, text);
  cairo_restore(cr);
}

void DrawScrollBar(cairo_t* cr, const RECT& rect, bool vertical, bool thumb) {
  const int arrow =
      vertical ? std::min(Width(rect), Height(rect) / 2) : std::min(Height(rect), Width(rect) / 2);
  RECT first = rect, second = rect, track = rect;
  if (vertical) {
    first.bottom = rect.top + arrow;
    second.top = rect.bottom - arrow;
    track = {rect.left, first.bottom, rect.right, second.top};
  } else {
    first.right = rect.left + arrow;
    second.left = rect.right - arrow;
    track = {first.right, rect.top, second.left, rect.bottom};
  }
  // The track: a checker of the face and highlight colours, seen as a light grey.
  FillSysColor(cr, track, COLOR_SCROLLBAR);
  const COLORREF glyph = GetSysColor(COLOR_BTNTEXT);
  const int glyphHeight = std::max(arrow - 4, 4);
  for (const auto& [button, symbol] :
       {std::pair{first, vertical ? '5' : '3'}, std::pair{second, vertical ? '6' : '4'}}) {
    FillSysColor(cr, button, COLOR_3DFACE);
    DrawEdgeRings(cr, button, EDGE_RAISED | BF_SOFT);
    DrawMarlett(cr, button, symbol, glyphHeight, glyph);
  }
  if (thumb && (vertical ? Height(track) : Width(track)) >= arrow) {
    RECT box = track;
    if (vertical)
      box.bottom = box.top + arrow;
    else
      box.right = box.left + arrow;
    FillSysColor(cr, box, COLOR_3DFACE);
    DrawEdgeRings(cr, box, EDGE_RAISED);
  }
}

}  // namespace orvex
