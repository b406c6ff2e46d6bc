// Bitmaps: the handle table, reading pixels back, device capabilities and system colours.
#include <cairo.h>

#include <cstring>
#include <iterator>

#include "platform/gdi/dc.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/objects.h"

namespace orvex {
namespace {

// The colours of indexes 0..30 as 0x00BBGGRR: Wine 8's default "Light" scheme.
constexpr DWORD kSysColors[] = {
    0xFFFFFF, 0x956F25, 0xFA9632, 0x808080, 0xFFFFFF, 0xFFFFFF, 0x9E9E9E, 0x000000,
    0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x808080, 0xFA9630, 0xFFFFFF, 0xF5F5F5,
    0xA6A6A6, 0xA6A6A6, 0x000000, 0xC8C8C8, 0xFFFFFF, 0x6A6A6A, 0xE3E3E3, 0x000000,
    0xFFFFFF, 0xFFFFFF, 0xE0E0E0, 0xFA9632, 0x808080, 0xFA9630, 0xFFFFFF,
};

}  // namespace

HandleTable<BitmapObject>& Bitmaps() {
  static auto* table = new HandleTable<BitmapObject>(HandleKind::Bitmap);
  return *table;
}

bool AnyAlpha(const Pixels& pixels) {
  for (uint32_t w : pixels.bgra) {
    if (w >> 24) return true;
  }
  return false;
}

HBITMAP CreateBitmapFromPixels(Pixels pixels, WORD bitsPerPixel) {
  if (pixels.width <= 0 || pixels.height <= 0 ||
      pixels.bgra.size() != static_cast<size_t>(pixels.width) * pixels.height) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto object = std::make_shared<BitmapObject>();
  object->pixels = std::move(pixels);
  object->bitsPerPixel = bitsPerPixel;
  const HBITMAP handle = Bitmaps().Add(std::move(object));
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

HBITMAP CreateBitmapFromPackedDib(std::span<const uint8_t> dib, UINT flags) {
  const Bytes bytes = AsBytes(dib.data(), dib.size());
  auto pixels = DecodePackedDib(bytes, flags);
  if (!pixels) {
    SetLastError(ERROR_INVALID_DATA);
    return 0;
  }
  // Bitmaps loaded this way are compatible with the 32-bit screen, except black-and-white
  // ones, which stay monochrome.
  const auto header = ReadDibHeader(bytes);
  return CreateBitmapFromPixels(std::move(*pixels), header && IsMonochrome(*header) ? 1 : 32);
}

std::optional<Pixels> BitmapPixels(HBITMAP bitmap) {
  const auto object = Bitmaps().Find(bitmap);
  if (!object) return std::nullopt;
  return object->pixels;
}

bool BitmapHasAlpha(HBITMAP bitmap) {
  const auto object = Bitmaps().Find(bitmap);
  return object && AnyAlpha(object->pixels);
}

// A stale or foreign handle fails and leaves the last error as it was, as the platform does.
BOOL DeleteObject(HGDIOBJ object) {
  return Bitmaps().Remove(object) ? TRUE : FALSE;
}

int GetObjectA(HGDIOBJ object, int size, void* buffer) {
  const auto bitmap = Bitmaps().Find(object);
  if (!bitmap) return 0;
  if (!buffer) return sizeof(BITMAP);
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP info{};
  info.bmType = 0;
  info.bmWidth = bitmap->pixels.width;
  info.bmHeight = bitmap->pixels.height;
  // Device-dependent rows are padded to 16 bits.
  info.bmWidthBytes = static_cast<LONG>(
      (static_cast<int64_t>(bitmap->pixels.width) * bitmap->bitsPerPixel + 15) / 16 * 2);
  info.bmPlanes = 1;
  info.bmBitsPixel = bitmap->bitsPerPixel;
  info.bmBits = 0;
  std::memcpy(buffer, &info, sizeof info);
  return sizeof(BITMAP);
}

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT) {
  const auto object = Bitmaps().Find(bitmap);
  if (!object || !info) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  const Pixels& px = object->pixels;
  if (!bits) {
    h.biWidth = px.width;
    h.biHeight = px.height;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(px.width) * px.height * 4;
    return px.height;
  }
  if (h.biBitCount != 32 || h.biCompression != BI_RGB || h.biWidth != px.width) return 0;
  const bool topDown = h.biHeight < 0;
  const UINT height = static_cast<UINT>(px.height);
  if (start >= height) return 0;
  const UINT count = std::min(lines, height - start);
  auto* out = static_cast<uint32_t*>(bits);
  for (UINT i = 0; i < count; ++i) {
    // Scan line `start + i` counts from the bottom of the bitmap.
    const UINT fromBottom = start + i;
    const size_t sourceRow = height - 1 - fromBottom;
    const size_t destRow = topDown ? sourceRow - (height - start - count) : i;
    std::memcpy(out + destRow * px.width, px.bgra.data() + sourceRow * px.width,
                static_cast<size_t>(px.width) * 4);
  }
  return static_cast<int>(count);
}

int GetDeviceCaps(HDC, int index) {
  switch (index) {
    case HORZRES:
      return 1024;
    case VERTRES:
      return 768;
    case BITSPIXEL:
      return 32;
    case PLANES:
      return 1;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return 96;
    default:
      return 0;
  }
}

DWORD GetSysColor(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kSysColors))) return 0;
  return kSysColors[index];
}

float TwipsPerPixelX() {
  return 1440.0f / 96.0f;
}
float TwipsPerPixelY() {
  return 1440.0f / 96.0f;
}

// Pixels as cairo takes them: premultiplied ARGB, with alpha forced opaque when `opaque`.
cairo_surface_t* SurfaceOf(const Pixels& px, bool opaque) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, px.width, px.height);
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int32_t y = 0; y < px.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int32_t x = 0; x < px.width; ++x) {
      const uint32_t p = px.bgra[static_cast<size_t>(y) * px.width + x];
      const uint32_t a = opaque ? 0xFF : p >> 24;
      const auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
      row[x] = a << 24 | mul((p >> 16) & 0xFF) << 16 | mul((p >> 8) & 0xFF) << 8 | mul(p & 0xFF);
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

void PaintSurface(cairo_t* cr, cairo_surface_t* surface, int x, int y, int cx, int cy, int width,
                  int height) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  if (cx > 0 && cy > 0 && (cx != width || cy != height)) {
    cairo_scale(cr, static_cast<double>(cx) / width, static_cast<double>(cy) / height);
  }
  cairo_set_source_surface(cr, surface, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
}

BOOL PaintBitmap(HDC dc, int x, int y, int cx, int cy, HBITMAP bitmap) {
  cairo_t* cr = CairoOfDC(dc);
  const auto object = Bitmaps().Find(bitmap);
  if (!cr || !object) return FALSE;
  cairo_surface_t* surface = SurfaceOf(object->pixels, !AnyAlpha(object->pixels));
  PaintSurface(cr, surface, x, y, cx, cy, object->pixels.width, object->pixels.height);
  cairo_surface_destroy(surface);
  return TRUE;
}

}  // namespace orvex
