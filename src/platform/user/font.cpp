#include "platform/user/font.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

#include "platform/core/handle_table.h"
#include "platform/text/text.h"
#include "platform/user/bitmap_font.h"

namespace orvex {
namespace {

// Face names of the platform and the files standing in for them.
struct FaceFile {
  const char* face;
  const char* regular;
  const char* bold;
  const char* strikes = nullptr;  // a .fon of bitmap strikes, taken before the outlines
};
constexpr FaceFile kFaceFiles[] = {
    {"MS Shell Dlg", "tahoma.ttf", "tahomabd.ttf"},
    {"MS Shell Dlg 2", "tahoma.ttf", "tahomabd.ttf"},
    {"Tahoma", "tahoma.ttf", "tahomabd.ttf"},
    // The platform's MS Sans Serif is the bitmap face of sserife.fon at every size; Tahoma
    // stands in only where that file is missing.
    {"MS Sans Serif", "tahoma.ttf", "tahomabd.ttf", "sserife.fon"},
    {"System", "tahoma.ttf", "tahomabd.ttf"},  // as the platform substitutes it
    {"Marlett", "marlett.ttf", "marlett.ttf"},
    {"Symbol", "symbol.ttf", "symbol.ttf"},
    {"Wingdings", "wingding.ttf", "wingding.ttf"},
    {"Webdings", "webdings.ttf", "webdings.ttf"},
};
constexpr const FaceFile& kDefaultFace = kFaceFiles[2];

const FaceFile& FaceFileOf(const std::string& face) {
  const std::u16string wanted = AnsiToUnicode(face);
  for (const FaceFile& entry : kFaceFiles) {
    if (EqualsIgnoringCase(AnsiToUnicode(entry.face), wanted)) return entry;
  }
  return kDefaultFace;
}

// Text is laid out with the advances of the hinted outlines, not of the bitmap strikes some
// faces (Tahoma) carry for small sizes; it is drawn with those strikes where they exist, as
// the platform draws unsmoothed text.
constexpr int kLoadFlags = FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP;

// The largest em, in pixels, FreeType sets a face to (FT_Set_Pixel_Sizes takes 16 bits).
constexpr double kMaxPixelSize = 0x10000;

std::string UserFontFolder() {
  return "/usr/share/wine/fonts";
}

// One loaded face file: the FreeType face and the cairo face over it, kept for the process.
struct LoadedFace {
  FT_Face face = nullptr;
  cairo_font_face_t* cairo_face = nullptr;
};

class FaceCache {
 public:
  std::mutex mutex;
  std::string folder = UserFontFolder();
  std::map<std::string, LoadedFace> faces;
  std::map<std::string, std::vector<FT_Face>> strikes;
  std::map<std::tuple<std::string, int, int, bool>, std::shared_ptr<const Font>> fonts;

  // Under `mutex`. Null face when the file does not load.
  LoadedFace Load(const std::string& path) {
    auto found = faces.find(path);
    if (found != faces.end()) return found->second;
    LoadedFace loaded;
    if (!library_ && FT_Init_FreeType(&library_) != 0) library_ = nullptr;
    if (library_ && FT_New_Face(library_, path.c_str(), 0, &loaded.face) == 0) {
      loaded.cairo_face = cairo_ft_font_face_create_for_ft_face(loaded.face, 0);
    } else {
      loaded.face = nullptr;
    }
    faces[path] = loaded;  // a failure is remembered too
    return loaded;
  }

  // Under `mutex`. Every face of a .fon file (one strike each); empty when it does not load.
  const std::vector<FT_Face>& LoadStrikes(const std::string& path) {
    auto found = strikes.find(path);
    if (found != strikes.end()) return found->second;
    std::vector<FT_Face>& loaded = strikes[path];  // a failure is remembered too
    if (!library_ && FT_Init_FreeType(&library_) != 0) library_ = nullptr;
    FT_Face first = nullptr;
    if (!library_ || FT_New_Face(library_, path.c_str(), 0, &first) != 0) return loaded;
    loaded.push_back(first);
    for (FT_Long i = 1; i < first->num_faces; ++i) {
      FT_Face face = nullptr;
      if (FT_New_Face(library_, path.c_str(), i, &face) == 0) loaded.push_back(face);
    }
    return loaded;
  }

 private:
  FT_Library library_ = nullptr;
};

FaceCache& Cache() {
  static FaceCache* cache = new FaceCache;  // faces live until the process ends
  return *cache;
}

thread_local TextRecorder* currentRecorder = nullptr;

// A face whose characters are pictures (Marlett's check marks and arrows, Wingdings): it
// has a symbol character map.
bool FaceIsSymbolic(FT_Face face) {
  for (int i = 0; i < face->num_charmaps; ++i) {
    if (face->charmaps[i]->encoding == FT_ENCODING_MS_SYMBOL) return true;
  }
  return false;
}

LONG Scaled(double units, double em, double unitsPerEm) {
  return static_cast<LONG>(std::lround(units * em / unitsPerEm));
}

class FtFont : public Font {
 public:
  FtFont(std::string path, const LoadedFace& loaded, const FontRequest& request)
      : path_(std::move(path)), request_(request) {
    symbols_ = FaceIsSymbolic(loaded.face);
    if (symbols_) FT_Select_Charmap(loaded.face, FT_ENCODING_MS_SYMBOL);
    FT_Face face = loaded.face;
    const double unitsPerEm = face->units_per_EM ? face->units_per_EM : 2048;
    // The platform measures a TrueType face by its OS/2 table's Windows ascent and descent.
    double ascentUnits = face->ascender;
    double descentUnits = -face->descender;
    double averageUnits = 0;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
      if (os2->usWinAscent + os2->usWinDescent > 0) {
        ascentUnits = os2->usWinAscent;
        descentUnits = os2->usWinDescent;
      }
      averageUnits = os2->xAvgCharWidth;
    }
    const double cellUnits = ascentUnits + descentUnits;
    if (request.height < 0) {
      em_ = -request.height;
    } else if (request.height > 0 && cellUnits > 0) {
      em_ = request.height * unitsPerEm / cellUnits;
    } else {
      em_ = 12;  // height 0: the platform's default size
    }
    metrics_ = TEXTMETRICA{};
    metrics_.tmAscent = Scaled(ascentUnits, em_, unitsPerEm);
    metrics_.tmDescent = Scaled(descentUnits, em_, unitsPerEm);
    metrics_.tmHeight = metrics_.tmAscent + metrics_.tmDescent;
    metrics_.tmInternalLeading =
        std::max<LONG>(0, metrics_.tmHeight - static_cast<LONG>(std::lround(em_)));
    metrics_.tmWeight = request.weight;
    // Hinted advances of the code page's characters, as the platform lays text out.
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::lround(em_)));
    std::string allBytes(256, '\0');
    for (size_t i = 0; i < 256; ++i) allBytes[i] = static_cast<char>(i);
    const std::u16string units = AnsiToUnicode(allBytes);
    for (size_t i = 0; i < 256; ++i) {
      // A symbol face maps byte b to character 0xF000 + b of its symbol character map.
      glyphs_[i] = symbols_ ? FT_Get_Char_Index(face, 0xF000 + static_cast<FT_ULong>(i))
                            : FT_Get_Char_Index(face, units[i]);
      if (glyphs_[i] && FT_Load_Glyph(face, glyphs_[i], kLoadFlags) == 0)
        advances_[i] = static_cast<LONG>((face->glyph->advance.x + 63) >> 6);
    }
    metrics_.tmMaxCharWidth = Scaled(face->max_advance_width, em_, unitsPerEm);

    cairo_font_options_t* options = cairo_font_options_create();
    // Crisp hinted glyphs without smoothing: the platform's default when font smoothing is off.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
    cairo_matrix_t fontMatrix, identity;
    cairo_matrix_init_scale(&fontMatrix, em_, em_);
    if (request.italic) {
      cairo_matrix_t shear;
      cairo_matrix_init(&shear, 1, 0, -0.2, 1, 0, 0);
      cairo_matrix_multiply(&fontMatrix, &shear, &fontMatrix);
    }
    cairo_matrix_init_identity(&identity);
    // FreeType scales to 16-bit pixel sizes. cairo would fail a larger one and put the error
    // on the shared face, so that no later size of it could draw: such a font draws nothing.
    if (em_ < kMaxPixelSize) {
      scaled_ = cairo_scaled_font_create(loaded.cairo_face, &fontMatrix, &identity, options);
    }
    cairo_font_options_destroy(options);
    for (size_t i = 0; i < 256; ++i) {
      cairo_glyph_t glyph{glyphs_[i], 0, 0};
      cairo_text_extents_t extents{};
      if (scaled_) cairo_scaled_font_glyph_extents(scaled_, &glyph, 1, &extents);
      drawAdvances_[i] = glyphs_[i] ? extents.x_advance : advances_[i];
    }

    // The average width is that of "x" when the face gives none.
    metrics_.tmAveCharWidth =
        averageUnits > 0 ? Scaled(averageUnits, em_, unitsPerEm) : TextExtent("x").cx;
  }
  ~FtFont() override {
    if (scaled_) cairo_scaled_font_destroy(scaled_);
  }

  const TEXTMETRICA& Metrics() const override { return metrics_; }
  const std::string& FilePath() const override { return path_; }

  SIZE TextExtent(std::string_view ansi) const override {
    LONG width = 0;
    for (char c : ansi) width += advances_[static_cast<unsigned char>(c)];
    return SIZE{width, metrics_.tmHeight};
  }

  // Glyphs advance by the drawn widths of the face at this size.
  void Draw(cairo_t* context, double x, double y, std::string_view ansi) const override {
    if (!symbols_ && RecordDrawnText(context, x, y + metrics_.tmAscent, em_, request_, ansi)) {
      return;
    }
    std::vector<cairo_glyph_t> glyphs;
    glyphs.reserve(ansi.size());
    double pen = x;
    for (char c : ansi) {
      const auto index = static_cast<unsigned char>(c);
      glyphs.push_back(cairo_glyph_t{glyphs_[index], pen, y + metrics_.tmAscent});
      pen += drawAdvances_[index];
    }
    if (!scaled_) return;
    cairo_save(context);
    cairo_set_scaled_font(context, scaled_);
    cairo_show_glyphs(context, glyphs.data(), static_cast<int>(glyphs.size()));
    cairo_restore(context);
  }

 private:
  std::string path_;
  FontRequest request_;
  bool symbols_ = false;  // a symbol face (Marlett, ...), drawn as shapes even when recording
  double em_ = 11;
  TEXTMETRICA metrics_{};
  std::array<unsigned long, 256> glyphs_{};
  std::array<LONG, 256> advances_{};
  // Where the drawn glyphs advance: the strike's own widths where a bitmap strike serves the
  // size (narrower than the layout's at small sizes, as the platform draws them).
  std::array<double, 256> drawAdvances_{};
  cairo_scaled_font_t* scaled_ = nullptr;
};

HandleTable<const Font>& FontHandles() {
  static auto* table = new HandleTable<const Font>(HandleKind::Font);
  return *table;
}

}  // namespace

TextRecorder::TextRecorder() : outer_(currentRecorder) {
  currentRecorder = this;
}

TextRecorder::~TextRecorder() {
  currentRecorder = outer_;
}

bool RecordDrawnText(cairo_t* context, double x, double baseline, double pixelHeight,
                     const FontRequest& request, std::string_view ansi) {
  TextRecorder* recorder = currentRecorder;
  if (!recorder) return false;
  RecordedText text;
  double dx = x, dy = baseline;
  cairo_user_to_device(context, &dx, &dy);
  text.x = dx;
  text.y = dy;
  text.pixelHeight = pixelHeight;
  text.weight = request.weight;
  text.italic = request.italic;
  text.face = request.face;
  text.utf8 = Utf16ToUtf8(AnsiToUnicode(ansi));
  double alpha = 1;
  cairo_pattern_get_rgba(cairo_get_source(context), &text.red, &text.green, &text.blue, &alpha);
  recorder->texts().push_back(std::move(text));
  return true;
}

int HeightForPoints(double points) {
  return -static_cast<int>(std::lround(points * 96 / 72));
}

std::shared_ptr<const Font> GetFont(const FontRequest& request) {
  FaceCache& cache = Cache();
  std::lock_guard lock(cache.mutex);
  const auto key = std::make_tuple(request.face, request.height, request.weight, request.italic);
  if (auto found = cache.fonts.find(key); found != cache.fonts.end()) return found->second;
  const FaceFile& file = FaceFileOf(request.face);
  if (file.strikes) {
    const std::string path = cache.folder + "/" + file.strikes;
    if (auto font = MakeBitmapFont(path, cache.LoadStrikes(path), request)) {
      cache.fonts[key] = font;
      return font;
    }
  }
  const std::string path = cache.folder + "/" + (request.weight >= 600 ? file.bold : file.regular);
  const LoadedFace loaded = cache.Load(path);
  if (!loaded.face || !loaded.cairo_face) return nullptr;
  auto font = std::make_shared<const FtFont>(path, loaded, request);
  cache.fonts[key] = font;
  return font;
}

HFONT CreateFontForRequest(const FontRequest& request) {
  static std::mutex mutex;
  static auto* handles = new std::map<std::tuple<std::string, int, int, bool>, HFONT>;
  const auto key = std::make_tuple(request.face, request.height, request.weight, request.italic);
  std::lock_guard lock(mutex);
  if (auto found = handles->find(key); found != handles->end()) return found->second;
  auto font = GetFont(request);
  if (!font) return 0;
  const HFONT handle = FontHandles().Add(font);
  if (handle) (*handles)[key] = handle;
  return handle;
}

std::shared_ptr<const Font> FontOfHandle(HFONT font) {
  return FontHandles().Find(font);
}

FontRequest SystemFontRequest() {
  return FontRequest{"System", 16, FW_NORMAL, false};
}

void SetFontFolderForTesting(const std::string& folder) {
  FaceCache& cache = Cache();
  std::lock_guard lock(cache.mutex);
  cache.folder = folder;
  cache.fonts.clear();
}

}  // namespace orvex
