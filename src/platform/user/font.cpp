#include "platform/user/font.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cctype>
#include <map>
#include <mutex>
#include <string>

#include "platform/gdi/dc.h"

namespace orvex {
namespace {

constexpr char kFontFolder[] = "/usr/share/wine/fonts/";

struct FaceFile {
  const char* face;
  bool bold;
  const char* file;
};
// Face names as windows ask for them, and the file that serves each.
constexpr FaceFile kFaces[] = {
    {"ms sans serif", false, "ms_sans_serif.ttf"},
    {"ms sans serif", true, "tahomabd.ttf"},
    {"ms shell dlg", false, "tahoma.ttf"},
    {"ms shell dlg", true, "tahomabd.ttf"},
    {"ms shell dlg 2", false, "tahoma.ttf"},
    {"ms shell dlg 2", true, "tahomabd.ttf"},
    {"tahoma", false, "tahoma.ttf"},
    {"tahoma", true, "tahomabd.ttf"},
    {"marlett", false, "marlett.ttf"},
    {"system", false, "system.ttf"},
};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The cairo face for a font, or null when no file serves it. Faces live for the process.
cairo_font_face_t* FaceFor(const FontSpec& font) {
  static std::mutex mutex;
  static auto* faces = new std::map<std::string, cairo_font_face_t*>;
  static FT_Library library = nullptr;
  const std::string name = Lower(font.face);
  const char* file = "ms_sans_serif.ttf";
  for (const FaceFile& f : kFaces) {
    if (name == f.face && font.bold == f.bold) file = f.file;
  }
  std::lock_guard lock(mutex);
  if (auto found = faces->find(file); found != faces->end()) return found->second;
  if (!library && FT_Init_FreeType(&library) != 0) return nullptr;
  FT_Face face = nullptr;
  if (FT_New_Face(library, (std::string(kFontFolder) + file).c_str(), 0, &face) != 0) {
    (*faces)[file] = nullptr;
    return nullptr;
  }
  cairo_font_face_t* cairoFace = cairo_ft_font_face_create_for_ft_face(face, 0);
  (*faces)[file] = cairoFace;
  return cairoFace;
}

void UseFont(cairo_t* cr, const FontSpec& font) {
  if (cairo_font_face_t* face = FaceFor(font)) cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, font.pixelHeight);
}

}  // namespace

int FontLineHeight(const FontSpec& font) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
  cairo_t* cr = cairo_create(surface);
  UseFont(cr, font);
  cairo_font_extents_t extents;
  cairo_font_extents(cr, &extents);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return static_cast<int>(extents.ascent + extents.descent + 0.5);
}

BOOL DrawTextLine(HDC dc, int x, int y, std::string_view text, const FontSpec& font,
                  COLORREF color) {
  cairo_t* cr = CairoOfDC(dc);
  if (!cr) return FALSE;
  cairo_save(cr);
  UseFont(cr, font);
  cairo_font_extents_t extents;
  cairo_font_extents(cr, &extents);
  cairo_set_source_rgb(cr, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                       ((color >> 16) & 0xFF) / 255.0);
  cairo_move_to(cr, x, y + extents.ascent);
  const std::string line(text);
  cairo_show_text(cr, line.c_str());
  cairo_restore(cr);
  return TRUE;
}

}  // namespace orvex
