// Picture objects and the picture-file loader: the format told by the bytes alone, types
// and HiMetric sizes, damaged files of each format, the interfaces a picture answers, its
// dispatch members, and who destroys the handle.
#include "platform/ole/picture.h"

#include <gtest/gtest.h>

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/gdi/gdi.h"
#include "platform/gdi/image.h"
#include "platform/ole/late_bound.h"
#include "support/image_bytes.h"

namespace orvex {
namespace {

using Buffer = std::vector<uint8_t>;

void Put(Buffer& out, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// An .ico or .cur file of one image (`resource` in its resource form).
Buffer IconFile(const Buffer& resource, bool cursor) {
  const size_t skip = cursor ? 4 : 0;
  Buffer out;
  Put(out, 0, 2);
  Put(out, cursor ? 2 : 1, 2);
  Put(out, 1, 2);
  out.push_back(32);
  out.push_back(32);
  out.push_back(0);
  out.push_back(0);
  Put(out, cursor ? resource[0] : 1, 2);
  Put(out, cursor ? resource[2] : 32, 2);
  Put(out, static_cast<uint32_t>(resource.size() - skip), 4);
  Put(out, 22, 4);
  out.insert(out.end(), resource.begin() + static_cast<ptrdiff_t>(skip), resource.end());
  return out;
}

// A 1 × 1 GIF whose only pixel is transparent, and a 2 × 1 one with two colours.
const Buffer kGifTransparent = {
    'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0,   0, '!', 0xF9, 4,
    1,   0,   0,   0,   0,   ',', 0, 0, 0, 0, 1,    0, 1, 0,    0,    2,    2, 'D', 1, 0,   ';'};

Buffer Jpeg(int width, int height) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<size_t>(width) * 3, 0x80);
  while (info.next_scanline < info.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&info, &r, 1);
  }
  jpeg_finish_compress(&info);
  Buffer bytes(out, out + size);
  jpeg_destroy_compress(&info);
  free(out);
  return bytes;
}

Buffer PlaceableWmf() {  // a 2 × 1 inch box at 1440 units to the inch
  Buffer out;
  Put(out, 0x9AC6CDD7, 4);
  Put(out, 0, 2);
  for (uint32_t v : {0u, 0u, 2880u, 1440u}) Put(out, v, 2);
  Put(out, 1440, 2);
  Put(out, 0, 4);
  Put(out, 0, 2);
  out.resize(out.size() + 18 + 6, 0);  // the metafile header and its end record
  return out;
}

Buffer Emf() {  // frame 0,0 - 1000,500 hundredths of a millimetre
  Buffer out(88, 0);
  const uint32_t type = 1, size = 88, signature = 0x464D4520;
  std::memcpy(out.data(), &type, 4);
  std::memcpy(out.data() + 4, &size, 4);
  const int32_t frame[] = {0, 0, 1000, 500};
  std::memcpy(out.data() + 24, frame, sizeof frame);
  std::memcpy(out.data() + 40, &signature, 4);
  return out;
}

Buffer SeedFile(const char* path) {
  std::ifstream in(std::string(ORVEX_SOURCE_DIR) + "/" + path, std::ios::binary);
  return Buffer(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Loaded {
  HRESULT hr;
  int32_t type = -1, width = 0, height = 0;
};

Loaded Load(const Buffer& bytes) {
  IDispatch* picture = nullptr;
  const HRESULT hr =
      LoadPictureFromBytes(std::as_bytes(std::span(bytes.data(), bytes.size())), &picture);
  Loaded result{hr};
  if (!picture) return result;
  const auto get = [&](const char* name) {
    Variant v = GetProperty(picture, name);
    Variant l;
    VariantChangeType(&l, &v, 0, VT_I4);
    return l.lVal;
  };
  result.type = get("Type");
  result.width = get("width");  // names without regard to case
  result.height = get("Height");
  picture->Release();
  return result;
}

TEST(PictureFile, FormatIsToldByTheBytes) {
  const struct {
    const char* name;
    Buffer bytes;
    int32_t type, width, height;
  } cases[] = {
      {"BMP", test::BmpFile(20, 10, 24, 0xFF), 1, 529, 265},
      {"ICO", IconFile(test::IconImage(32, 0x102030), false), 3, 847, 847},
      {"CUR", IconFile(test::CursorImage(32, 3, 4, 0x102030), true), 3, 847, 847},
      {"PNG", SeedFile("fuzz/icon/seeds/png_256.bin"), 1, 6773, 6773},
      {"GIF", kGifTransparent, 1, 26, 26},
      {"JPEG", Jpeg(48, 16), 1, 1270, 423},
      {"WMF", PlaceableWmf(), 2, 5080, 2540},
      {"EMF", Emf(), 4, 1000, 500},
  };
  for (const auto& c : cases) {
    const Loaded loaded = Load(c.bytes);
    EXPECT_EQ(loaded.hr, S_OK) << c.name;
    EXPECT_EQ(loaded.type, c.type) << c.name;
    EXPECT_EQ(loaded.width, c.width) << c.name;
    EXPECT_EQ(loaded.height, c.height) << c.name;
  }
}

TEST(PictureFile, DamagedOrUnknownBytesAreNoPicture) {
  const auto cut = [](Buffer b, size_t n) {
    b.resize(n);
    return b;
  };
  const struct {
    const char* name;
    Buffer bytes;
  } cases[] = {
      {"empty", {}},
      {"text", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}},
      {"RIFF WAVE", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}},
      {"BMP cut short", cut(test::BmpFile(20, 10, 24, 0), 60)},
      {"ICO entry past the end", cut(IconFile(test::IconImage(32, 0), false), 100)},
      {"PNG cut short", cut(SeedFile("fuzz/icon/seeds/png_256.bin"), 200)},
      {"GIF cut short", cut(kGifTransparent, 20)},
      {"JPEG cut short", cut(Jpeg(48, 16), 100)},
      {"WMF without units", cut(PlaceableWmf(), 14)},
  };
  for (const auto& c : cases) EXPECT_EQ(Load(c.bytes).hr, CTL_E_INVALIDPICTURE) << c.name;
}

TEST(PictureObject, InterfacesMembersAndOwnership) {
  const HBITMAP bitmap = CreateBitmapFromPackedDib(test::PackedDib(32, 16, 24, 0), 0);
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_BITMAP;
  desc.bmp.hbitmap = bitmap;
  IPicture* picture = nullptr;
  ASSERT_EQ(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, reinterpret_cast<void**>(&picture)),
            S_OK);
  for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &IID_IPictureDisp, &IID_IPicture}) {
    IUnknown* other = nullptr;
    EXPECT_EQ(picture->QueryInterface(*iid, reinterpret_cast<void**>(&other)), S_OK);
    if (other) other->Release();
  }
  IUnknown* none = nullptr;
  EXPECT_EQ(picture->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&none)),
            E_NOINTERFACE);
  IDispatch* disp = nullptr;
  picture->QueryInterface(IID_IPictureDisp, reinterpret_cast<void**>(&disp));
  const Variant type = InvokeById(disp, DISPID_PICT_TYPE, DISPATCH_PROPERTYGET, {});
  EXPECT_EQ(type.vt, VT_I2);
  EXPECT_EQ(type.iVal, PICTYPE_BITMAP);
  EXPECT_EQ(InvokeById(disp, DISPID_PICT_WIDTH, DISPATCH_PROPERTYGET, {}).lVal, 847);
  EXPECT_EQ(InvokeById(disp, DISPID_PICT_HANDLE, DISPATCH_PROPERTYGET, {}).lVal,
            static_cast<LONG>(bitmap));
  EXPECT_THROW(GetProperty(disp, "Colours"), RuntimeError);
  disp->Release();
  // The owner destroys the handle with the last reference, once.
  picture->Release();
  EXPECT_FALSE(BitmapPixels(bitmap));

  // Without ownership the handle outlives the picture.
  const HBITMAP kept = CreateBitmapFromPackedDib(test::PackedDib(2, 2, 24, 0), 0);
  desc.bmp.hbitmap = kept;
  ASSERT_EQ(
      OleCreatePictureIndirect(&desc, IID_IPicture, FALSE, reinterpret_cast<void**>(&picture)),
      S_OK);
  picture->Release();
  EXPECT_TRUE(BitmapPixels(kept));
  DeleteObject(kept);

  // Bad descriptions make nothing.
  desc.cbSizeofstruct = 4;
  EXPECT_EQ(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, reinterpret_cast<void**>(&picture)),
            E_INVALIDARG);
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = 9;
  EXPECT_EQ(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, reinterpret_cast<void**>(&picture)),
            E_INVALIDARG);
}

}  // namespace
}  // namespace orvex
