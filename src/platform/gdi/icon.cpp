// Icons and cursors: made from the bytes of one RT_ICON / RT_CURSOR resource (a DIB of
// twice the image's height, colour rows then the AND mask, or a PNG), chosen from a group
// directory, read back and drawn.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/dc.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/icon_directory.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/png_image.h"

namespace orvex {
namespace {

constexpr uint32_t kMaskSet = 0x00FFFFFF;

// Eight mask words for each value of a mask byte, most significant bit first.
struct BitTable {
  uint32_t expanded[256][8];
  constexpr BitTable() : expanded() {
    for (int v = 0; v < 256; ++v) {
      for (int bit = 0; bit < 8; ++bit) expanded[v][bit] = ((v >> (7 - bit)) & 1) ? kMaskSet : 0;
    }
  }
};
constexpr BitTable kBits;

// One mask word per pixel from a row of 1-bit pixels.
void ExpandBits(const uint8_t* source, uint32_t* dest, int32_t width) {
  int32_t x = 0;
  for (; x + 8 <= width; x += 8) std::memcpy(dest + x, kBits.expanded[source[x >> 3]], 32);
  for (; x < width; ++x) dest[x] = ((source[x >> 3] >> (7 - (x & 7))) & 1) ? kMaskSet : 0;
}

std::shared_ptr<IconObject> IconFromPng(Bytes image) {
  auto pixels = DecodePng(image);
  if (!pixels) return nullptr;
  auto icon = std::make_shared<IconObject>();
  icon->width = pixels->width;
  icon->height = pixels->height;
  icon->mask.resize(pixels->bgra.size());
  // The mask lets the screen through wherever the image is not fully opaque.
  for (size_t i = 0; i < pixels->bgra.size(); ++i) {
    icon->mask[i] = (pixels->bgra[i] >> 24) != 0xFF ? kMaskSet : 0;
  }
  icon->color = std::move(*pixels);
  return icon;
}

std::shared_ptr<IconObject> IconFromDib(Bytes image) {
  auto header = ReadDibHeader(image);
  if (!header || header->height <= 0 || header->compression == BI_RLE4 ||
      header->compression == BI_RLE8 || header->bitsOffset > image.size()) {
    return nullptr;
  }
  const int32_t width = header->width;
  const int32_t height = header->height / 2;
  if (height == 0) return nullptr;
  const Bytes bits = image.subspan(header->bitsOffset);
  auto color = DecodeDibBits(*header, bits, width, height, true);
  if (!color) return nullptr;
  auto icon = std::make_shared<IconObject>();
  icon->width = width;
  icon->height = height;
  // The AND mask follows the colour rows; a mask cut short leaves its pixels opaque.
  const uint64_t maskStart = DibStride(width, header->bitCount) * height;
  const uint64_t maskStride = DibStride(width, 1);
  const auto* data = reinterpret_cast<const uint8_t*>(bits.data());
  const bool monochrome = IsMonochrome(*header);
  icon->hasColor = !monochrome;
  icon->mask.assign(static_cast<size_t>(width) * height * (monochrome ? 2 : 1), 0);
  for (int32_t y = 0; y < height; ++y) {
    const uint64_t row = maskStart + maskStride * (height - 1 - y);
    uint32_t* dest = icon->mask.data() + static_cast<size_t>(y) * width;
    if (row + (static_cast<uint64_t>(width) + 7) / 8 <= bits.size()) {
      ExpandBits(data + row, dest, width);
      continue;
    }
    for (int32_t x = 0; x < width; ++x) {
      const uint64_t at = row + (x >> 3);
      if (at < bits.size()) dest[x] = ((data[at] >> (7 - (x & 7))) & 1) ? kMaskSet : 0;
    }
  }
  if (monochrome) {
    // The lower half of the mask bitmap holds the image's bits: set where it is white.
    for (size_t i = 0; i < color->bgra.size(); ++i) {
      icon->mask[static_cast<size_t>(width) * height + i] =
          (color->bgra[i] & 0xFFFFFF) != 0 ? kMaskSet : 0;
    }
  }
  icon->color = std::move(*color);
  return icon;
}

// Straight-alpha pixels of an icon as the screen shows it: alpha from the colour image when
// it carries any, else from the mask.
Pixels Composed(const IconObject& icon) {
  Pixels out;
  out.width = icon.width;
  out.height = icon.height;
  const size_t n = static_cast<size_t>(icon.width) * icon.height;
  out.bgra.resize(n);
  const bool alpha = icon.hasColor && AnyAlpha(icon.color);
  for (size_t i = 0; i < n; ++i) {
    uint32_t rgb = icon.color.bgra[i] & 0xFFFFFF;
    if (!icon.hasColor) rgb = icon.mask[n + i] ? 0xFFFFFF : 0;
    const uint32_t a = alpha ? icon.color.bgra[i] >> 24 : (icon.mask[i] ? 0 : 0xFF);
    out.bgra[i] = a << 24 | rgb;
  }
  return out;
}

}  // namespace

HandleTable<IconObject>& Icons() {
  static auto* table = new HandleTable<IconObject>(HandleKind::Icon);
  return *table;
}

HICON CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL fIcon, DWORD version, int, int,
                               UINT) {
  if (!bits || version != 0x00030000) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Bytes image = AsBytes(bits, size);
  uint32_t hotX = 0, hotY = 0;
  if (!fIcon) {
    if (size < 4) {
      SetLastError(ERROR_INVALID_DATA);
      return 0;
    }
    hotX = bits[0] | bits[1] << 8;
    hotY = bits[2] | bits[3] << 8;
    image = image.subspan(4);
  }
  std::shared_ptr<IconObject> icon = IsPng(image) ? IconFromPng(image) : IconFromDib(image);
  if (!icon) {
    SetLastError(ERROR_INVALID_DATA);
    return 0;
  }
  icon->isIcon = fIcon != 0;
  icon->hotspotX = fIcon ? static_cast<uint32_t>(icon->width / 2) : hotX;
  icon->hotspotY = fIcon ? static_cast<uint32_t>(icon->height / 2) : hotY;
  const HICON handle = Icons().Add(std::move(icon));
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

int LookupIconIdFromDirectoryEx(const BYTE* directory, BOOL fIcon, int cxDesired, int cyDesired,
                                UINT) {
  if (!directory) return 0;
  // No size asked for means the system's icon and cursor size here (LoadImageA differs).
  constexpr int kSystemSize = 32;
  // The directory's own count bounds the read; the caller passes a whole resource.
  return ChooseIconId(AsBytes(directory, IconDirectorySize(directory)), fIcon != 0,
                      cxDesired ? cxDesired : kSystemSize, cyDesired ? cyDesired : kSystemSize);
}

BOOL GetIconInfo(HICON handle, ICONINFO* info) {
  const auto icon = Icons().Find(handle);
  if (!icon || !info) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const int32_t maskRows = icon->hasColor ? icon->height : icon->height * 2;
  Pixels mask;
  mask.width = icon->width;
  mask.height = maskRows;
  mask.bgra = icon->mask;
  info->fIcon = icon->isIcon ? TRUE : FALSE;
  info->xHotspot = icon->hotspotX;
  info->yHotspot = icon->hotspotY;
  info->hbmMask = CreateBitmapFromPixels(std::move(mask), 1);
  info->hbmColor = icon->hasColor ? CreateBitmapFromPixels(icon->color, 32) : 0;
  return TRUE;
}

// A stale or foreign handle fails and leaves the last error as it was, as the platform does.
BOOL DestroyIcon(HICON icon) {
  return Icons().Remove(icon) ? TRUE : FALSE;
}

BOOL DestroyCursor(HCURSOR cursor) {
  return DestroyIcon(cursor);
}

std::optional<Pixels> IconPixels(HICON handle) {
  const auto icon = Icons().Find(handle);
  if (!icon) return std::nullopt;
  return Composed(*icon);
}

std::optional<IconSize> IconDimensions(HICON handle) {
  const auto icon = Icons().Find(handle);
  if (!icon) return std::nullopt;
  return IconSize{icon->width, icon->height};
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON handle, int cx, int cy, UINT, HBRUSH, UINT) {
  cairo_t* cr = CairoOfDC(dc);
  const auto icon = Icons().Find(handle);
  if (!cr || !icon) return FALSE;
  cairo_surface_t* surface = SurfaceOf(Composed(*icon), false);
  PaintSurface(cr, surface, x, y, cx, cy, icon->width, icon->height);
  cairo_surface_destroy(surface);
  return TRUE;
}

}  // namespace orvex
