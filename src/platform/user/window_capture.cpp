#include "platform/user/window_capture.h"

#include <cairo-svg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/user/draw.h"
#include "platform/user/font.h"
#include "platform/user/window.h"

namespace orvex {

namespace {

// A top-level window with the visible windows it owns over it, each where it is on the
// screen relative to the owner.
void PaintWithOwned(HWND handle, cairo_t* cr) {
  PaintWindowTree(handle, cr);
  RECT ownerRect;
  if ((GetWindowLongA(handle, GWL_STYLE) & WS_CHILD) || !GetWindowRect(handle, &ownerRect)) return;
  std::vector<HWND> owned;  // bottom to top
  EnumWindows(
      [](HWND top, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(top);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&owned));
  std::reverse(owned.begin(), owned.end());
  for (HWND o : owned) {
    RECT rect;
    if (GetWindow(o, GW_OWNER) != handle || !IsWindowVisible(o) || !GetWindowRect(o, &rect))
      continue;
    cairo_save(cr);
    cairo_translate(cr, rect.left - ownerRect.left, rect.top - ownerRect.top);
    PaintWithOwned(o, cr);
    cairo_restore(cr);
  }
}

std::string XmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out.push_back(c);
    }
  }
  return out;
}

// The recorded texts as SVG text elements, inserted before the document's end.
bool AppendTexts(const char* path, const std::vector<RecordedText>& texts) {
  std::string svg;
  {
    FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) svg.append(buffer, n);
    std::fclose(file);
  }
  const size_t end = svg.rfind("</svg>");
  if (end == std::string::npos) return false;
  std::string elements;
  char number[64];
  for (const RecordedText& t : texts) {
    if (t.utf8.empty()) continue;
    std::snprintf(number, sizeof number, "<text x=\"%.2f\" y=\"%.2f\" font-size=\"%.2fpx\"", t.x,
                  t.y, t.pixelHeight);
    elements += number;
    elements += " font-family=\"" + XmlEscaped(t.face) + ", Tahoma, sans-serif\"";
    if (t.weight >= 600) elements += " font-weight=\"bold\"";
    if (t.italic) elements += " font-style=\"italic\"";
    std::snprintf(number, sizeof number, " fill=\"#%02x%02x%02x\"",
                  static_cast<int>(t.red * 255 + 0.5), static_cast<int>(t.green * 255 + 0.5),
                  static_cast<int>(t.blue * 255 + 0.5));
    elements += number;
    elements += " xml:space=\"preserve\">" + XmlEscaped(t.utf8) + "</text>\n";
  }
  svg.insert(end, elements);
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  const bool written = std::fwrite(svg.data(), 1, svg.size(), file) == svg.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

// Paints the window onto a surface made for its size; the capture shows the window even
// when it is hidden.
template <class MakeSurface, class Finish>
BOOL Capture(HWND handle, MakeSurface makeSurface, Finish finish) {
  RECT rect;
  if (!GetWindowRect(handle, &rect) || Width(rect) <= 0 || Height(rect) <= 0) return FALSE;
  cairo_surface_t* surface = makeSurface(Width(rect), Height(rect));
  cairo_t* cr = cairo_create(surface);
  const LONG style = GetWindowLongA(handle, GWL_STYLE);
  SetWindowLongA(handle, GWL_STYLE, style | static_cast<LONG>(WS_VISIBLE));
  PaintWithOwned(handle, cr);
  SetWindowLongA(handle, GWL_STYLE, style);
  cairo_destroy(cr);
  const bool written = finish(surface);
  cairo_surface_destroy(surface);
  return written ? TRUE : FALSE;
}

BOOL CaptureWindowToPng(HWND handle, const char* path) {
  return Capture(
      handle,
      [](int width, int height) {
        return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
      },
      [path](cairo_surface_t* surface) {
        return cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
      });
}

std::optional<Pixels> CaptureWindowPixels(HWND handle) {
  Pixels out;
  const BOOL drawn = Capture(
      handle,
      [](int width, int height) {
        return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
      },
      [&out](cairo_surface_t* surface) {
        cairo_surface_flush(surface);
        out.width = cairo_image_surface_get_width(surface);
        out.height = cairo_image_surface_get_height(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        if (!data) return false;
        const auto width = static_cast<size_t>(out.width);
        out.bgra.resize(width * static_cast<size_t>(out.height));
        for (int32_t y = 0; y < out.height; ++y)
          std::memcpy(out.bgra.data() + static_cast<size_t>(y) * width,
                      data + static_cast<ptrdiff_t>(y) * stride, width * 4);
        return true;
      });
  if (!drawn) return std::nullopt;
  return out;
}

BOOL CaptureWindowToSvg(HWND handle, const char* path) {
  TextRecorder recorder;
  const BOOL drawn = Capture(
      handle,
      [path](int width, int height) { return cairo_svg_surface_create(path, width, height); },
      [](cairo_surface_t* surface) {
        cairo_surface_finish(surface);
        return cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
      });
  return drawn && AppendTexts(path, recorder.texts()) ? TRUE : FALSE;
}

}  // namespace orvex
