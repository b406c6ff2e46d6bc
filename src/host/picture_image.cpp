#include "host/picture_image.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/ole/late_bound.h"

namespace orvex {
namespace {

struct BitmapSize {
  int32_t width = 0;
  int32_t height = 0;
};

BitmapSize SizeOf(HBITMAP bitmap) {
  BITMAP info{};
  if (GetObjectA(bitmap, sizeof info, &info) == 0)
    throw std::runtime_error("picture: unreadable bitmap");
  return {info.bmWidth, info.bmHeight};
}

// The bitmap's pixels as 32-bit top-down BGRA words.
std::vector<uint32_t> BgraOf(HBITMAP bitmap, BitmapSize size) {
  std::vector<uint32_t> words(static_cast<size_t>(size.width) * size.height);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size.width;
  info.bmiHeader.biHeight = -size.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  if (GetDIBits(0, bitmap, 0, static_cast<UINT>(size.height), words.data(), &info,
                DIB_RGB_COLORS) != size.height) {
    throw std::runtime_error("picture: cannot read the image's pixels");
  }
  return words;
}

void Put(RgbaImage& image, size_t index, uint32_t bgr, uint8_t alpha) {
  image.rgba[index * 4 + 0] = static_cast<uint8_t>(bgr >> 16);
  image.rgba[index * 4 + 1] = static_cast<uint8_t>(bgr >> 8);
  image.rgba[index * 4 + 2] = static_cast<uint8_t>(bgr);
  image.rgba[index * 4 + 3] = alpha;
}

bool AnyAlpha(const std::vector<uint32_t>& words) {
  for (uint32_t w : words) {
    if (w >> 24) return true;
  }
  return false;
}

// Bitmaps are opaque unless they carry alpha.
RgbaImage BitmapImage(HBITMAP bitmap, BitmapSize size) {
  const std::vector<uint32_t> words = BgraOf(bitmap, size);
  const bool alpha = AnyAlpha(words);
  RgbaImage image{size.width, size.height, std::vector<uint8_t>(words.size() * 4)};
  for (size_t i = 0; i < words.size(); ++i) {
    Put(image, i, words[i], alpha ? static_cast<uint8_t>(words[i] >> 24) : 0xFF);
  }
  return image;
}

// Icons take alpha from the colour image when it carries any, else from the mask (a set
// mask bit is transparent); monochrome icons take their colour from the mask's lower half.
RgbaImage IconImage(const ICONINFO& info, int32_t width, int32_t height) {
  const BitmapSize maskSize = SizeOf(info.hbmMask);
  const std::vector<uint32_t> mask = BgraOf(info.hbmMask, maskSize);
  std::vector<uint32_t> colour;
  if (info.hbmColor) {
    colour = BgraOf(info.hbmColor, {width, height});
  } else {
    colour.assign(mask.begin() + static_cast<ptrdiff_t>(width) * height, mask.end());
  }
  const bool alpha = info.hbmColor && AnyAlpha(colour);
  RgbaImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
    const bool transparent = (mask[i] & 0xFFFFFF) != 0;
    const uint8_t a = alpha ? static_cast<uint8_t>(colour[i] >> 24) : (transparent ? 0 : 0xFF);
    Put(image, i, colour[i], a);
  }
  return image;
}

// The icon's size and hotspot from GetIconInfo, and its image when asked for.
PictureImage ReadIcon(HICON icon, bool withPixels) {
  PictureImage result;
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) throw std::runtime_error("picture: unreadable icon");
  // The bitmaps GetIconInfo made are ours to delete, whatever happens below.
  const auto release = [](ICONINFO* i) {
    if (i->hbmMask) DeleteObject(i->hbmMask);
    if (i->hbmColor) DeleteObject(i->hbmColor);
  };
  std::unique_ptr<ICONINFO, decltype(release)> owned(&info, release);
  const BitmapSize maskSize = SizeOf(info.hbmMask);
  const BitmapSize size =
      info.hbmColor ? SizeOf(info.hbmColor) : BitmapSize{maskSize.width, maskSize.height / 2};
  result.pixelsWide = size.width;
  result.pixelsHigh = size.height;
  result.hotspot = std::make_pair(info.xHotspot, info.yHotspot);
  if (withPixels) result.image = IconImage(info, size.width, size.height);
  return result;
}

}  // namespace

PictureImage ReadPicture(IDispatch* picture, bool withPixels) {
  PictureImage result;
  const int32_t type = GetProperty(picture, "Type").ToLong();
  const int32_t width = GetProperty(picture, "Width").ToLong();
  const int32_t height = GetProperty(picture, "Height").ToLong();
  const uint32_t handle = static_cast<uint32_t>(GetProperty(picture, "Handle").ToLong());
  if (type == 1) {
    const BitmapSize size = SizeOf(handle);
    result.pixelsWide = size.width;
    result.pixelsHigh = size.height;
    if (withPixels) result.image = BitmapImage(handle, size);
  } else if (type == 3) {
    result = ReadIcon(handle, withPixels);
  } else if (withPixels) {
    throw std::runtime_error("picture: pictures of type " + std::to_string(type) +
                             " have no pixels to write");
  }
  result.type = type;
  result.width = width;
  result.height = height;
  return result;
}

RgbaImage ImageOfBitmap(HBITMAP bitmap) {
  return BitmapImage(bitmap, SizeOf(bitmap));
}

RgbaImage ImageOfIcon(HICON icon) {
  return ReadIcon(icon, true).image;
}

RgbaImage RgbaFromPixels(const Pixels& pixels) {
  RgbaImage image{pixels.width, pixels.height, {}};
  image.rgba.reserve(pixels.bgra.size() * 4);
  for (uint32_t p : pixels.bgra) {
    image.rgba.push_back(static_cast<uint8_t>(p >> 16));
    image.rgba.push_back(static_cast<uint8_t>(p >> 8));
    image.rgba.push_back(static_cast<uint8_t>(p));
    image.rgba.push_back(static_cast<uint8_t>(p >> 24));
  }
  return image;
}

namespace {

// The rows a PNG is written from: 4 bytes per pixel, contiguous, top-down.
enum class PngSource {
  kRgba,       // R, G, B, A bytes: written as RGBA with libpng's default filters
  kBgraWords,  // platform pixels: written as RGB, unfiltered, for speed (frames of clips)
};

void WritePngRows(const std::string& path, int32_t width, int32_t height, PngSource source,
                  const uint8_t* rows) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) throw std::runtime_error("cannot write " + path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    throw std::runtime_error("cannot write " + path);
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("cannot write " + path);
  }
  const bool words = source == PngSource::kBgraWords;
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               words ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (words) png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_write_info(png, info);
  if (words) {
    // The words are B, G, R, A in memory: swap to RGB order and drop the fourth byte.
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
  }
  const size_t stride = static_cast<size_t>(width) * 4;
  for (int32_t y = 0; y < height; ++y) png_write_row(png, rows + static_cast<size_t>(y) * stride);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fflush(file.get()) != 0) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void WritePng(const std::string& path, const RgbaImage& image) {
  WritePngRows(path, image.width, image.height, PngSource::kRgba, image.rgba.data());
}

void WriteFramePng(const std::string& path, const Pixels& frame) {
  if (frame.width <= 0 || frame.height <= 0 ||
      frame.bgra.size() != static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height))
    throw std::runtime_error("cannot write " + path + ": the frame has no pixels");
  WritePngRows(path, frame.width, frame.height, PngSource::kBgraWords,
               reinterpret_cast<const uint8_t*>(frame.bgra.data()));
}

}  // namespace orvex
