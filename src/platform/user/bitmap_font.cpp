#include "platform/user/bitmap_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_WINFONTS_H

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace orvex {
namespace {

// The tallest cell a request is taken to ask for, as for outline faces (FreeType's 16-bit
// pixel sizes): larger requests get the factor of this one.
constexpr int64_t kMaxCell = 0x10000;

// The cell height a request asks of a strike: a positive height is the cell itself, a
// negative one the em height, to which the strike's internal leading is added.
int64_t WantedCell(const StrikeHeight& strike, int requestHeight) {
  const int64_t wanted =
      requestHeight > 0 ? int64_t{requestHeight} : -int64_t{requestHeight} + strike.internalLeading;
  return std::min(wanted, kMaxCell);
}

// One character of the chosen strike, its pixels as an alpha mask (null for a blank one).
struct Glyph {
  cairo_surface_t* mask = nullptr;
  int left = 0;  // from the pen, in the strike's pixels
  int top = 0;   // from the baseline up
};

cairo_surface_t* MaskOf(const FT_Bitmap& bitmap) {
  if (bitmap.width == 0 || bitmap.rows == 0 || bitmap.pixel_mode != FT_PIXEL_MODE_MONO)
    return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(
      CAIRO_FORMAT_A8, static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows));
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (unsigned y = 0; y < bitmap.rows; ++y) {
    const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
    for (unsigned x = 0; x < bitmap.width; ++x) {
      const bool set = (row[x / 8] >> (7 - x % 8)) & 1;
      data[y * stride + x] = set ? 0xFF : 0;
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

class BitmapFont : public Font {
 public:
  BitmapFont(std::string path, FT_Face face, const FT_WinFNT_HeaderRec& header, int scale,
             const FontRequest& request)
      : path_(std::move(path)), request_(request), scale_(scale) {
    // The platform synthesizes bold from a regular strike for weights from 600: every
    // character one pixel wider, drawn twice a pixel apart.
    bold_ = request.weight >= 600 && header.weight < 600;
    const LONG extra = bold_ ? 1 : 0;
    metrics_.tmHeight = header.pixel_height * scale;
    metrics_.tmAscent = header.ascent * scale;
    metrics_.tmDescent = (header.pixel_height - header.ascent) * scale;
    metrics_.tmInternalLeading = header.internal_leading * scale;
    metrics_.tmExternalLeading = header.external_leading * scale;
    metrics_.tmAveCharWidth = (header.avg_width + extra) * scale;
    metrics_.tmMaxCharWidth = (header.max_width + extra) * scale;
    metrics_.tmWeight = bold_ ? FW_BOLD : header.weight;
    // The strike's own character codes are the code page's bytes; characters it lacks are
    // its default character (glyph 0).
    if (face->num_charmaps > 0) FT_Set_Charmap(face, face->charmaps[0]);
    for (size_t i = 0; i < 256; ++i) {
      const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(i));
      if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) continue;
      const FT_GlyphSlot slot = face->glyph;
      advances_[i] = static_cast<LONG>(slot->advance.x >> 6) * scale + extra;
      glyphs_[i] = Glyph{MaskOf(slot->bitmap), slot->bitmap_left, slot->bitmap_top};
    }
  }
  ~BitmapFont() override {
    for (Glyph& glyph : glyphs_) {
      if (glyph.mask) cairo_surface_destroy(glyph.mask);
    }
  }
  BitmapFont(const BitmapFont&) = delete;
  BitmapFont& operator=(const BitmapFont&) = delete;

  const TEXTMETRICA& Metrics() const override { return metrics_; }
  const std::string& FilePath() const override { return path_; }

  SIZE TextExtent(std::string_view ansi) const override {
    LONG width = 0;
    for (char c : ansi) width += advances_[static_cast<unsigned char>(c)];
    return SIZE{width, metrics_.tmHeight};
  }

  // Each character's pixels are enlarged by the factor as blocks (no smoothing); a bold
  // character is drawn a second time one pixel to the right.
  void Draw(cairo_t* context, double x, double y, std::string_view ansi) const override {
    const double baseline = y + metrics_.tmAscent;
    if (RecordDrawnText(context, x, baseline, metrics_.tmHeight - metrics_.tmInternalLeading,
                        request_, ansi)) {
      return;
    }
    double pen = x;
    for (char c : ansi) {
      const auto index = static_cast<unsigned char>(c);
      const Glyph& glyph = glyphs_[index];
      for (int pass = 0; glyph.mask && pass < (bold_ ? 2 : 1); ++pass) {
        cairo_save(context);
        cairo_translate(context, pen + glyph.left * scale_ + pass, baseline - glyph.top * scale_);
        cairo_scale(context, scale_, scale_);
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(glyph.mask);
        cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
        cairo_mask(context, pattern);
        cairo_pattern_destroy(pattern);
        cairo_restore(context);
      }
      pen += advances_[index];
    }
  }

 private:
  std::string path_;
  FontRequest request_;
  int scale_ = 1;
  bool bold_ = false;
  TEXTMETRICA metrics_{};
  std::array<LONG, 256> advances_{};
  std::array<Glyph, 256> glyphs_{};
};

}  // namespace

StrikeChoice ChooseStrike(std::span<const StrikeHeight> strikes, int requestHeight) {
  // The tallest strike whose cell fits the request; when none fits, the smallest.
  std::optional<size_t> fitting, smallest;
  for (size_t i = 0; i < strikes.size(); ++i) {
    const StrikeHeight& s = strikes[i];
    if (!smallest || s.height < strikes[*smallest].height) smallest = i;
    if (s.height <= WantedCell(s, requestHeight) &&
        (!fitting || s.height > strikes[*fitting].height)) {
      fitting = i;
    }
  }
  StrikeChoice choice{fitting.value_or(smallest.value_or(0)), 1};
  if (requestHeight == 0 || strikes.empty()) return choice;

  // The whole factor that reaches the wanted cell, one less when that overshoots by more than
  // a quarter of the strike's height (a pixel less than that for the first doubling).
  const int64_t cell = std::max(strikes[choice.strike].height, 1);
  const int64_t wanted = WantedCell(strikes[choice.strike], requestHeight);
  int64_t scale = std::max<int64_t>(1, (wanted + cell - 1) / cell);
  const int64_t overshoot = scale * cell - wanted;
  if ((scale > 2 && overshoot > cell / 4) || (scale == 2 && overshoot > cell / 4 - 1)) --scale;
  choice.scale = static_cast<int>(scale);
  return choice;
}

std::shared_ptr<const Font> MakeBitmapFont(std::string path, std::span<const FT_Face> strikes,
                                           const FontRequest& request) {
  std::vector<FT_Face> faces;
  std::vector<FT_WinFNT_HeaderRec> headers;
  std::vector<StrikeHeight> heights;
  for (FT_Face face : strikes) {
    FT_WinFNT_HeaderRec header{};
    if (!face || FT_Get_WinFNT_Header(face, &header) != 0 || header.pixel_height == 0) continue;
    faces.push_back(face);
    headers.push_back(header);
    heights.push_back(StrikeHeight{header.pixel_height, header.internal_leading});
  }
  if (faces.empty()) return nullptr;
  const StrikeChoice choice = ChooseStrike(heights, request.height);
  return std::make_shared<const BitmapFont>(std::move(path), faces[choice.strike],
                                            headers[choice.strike], choice.scale, request);
}

}  // namespace orvex
