// The picture-file loader: the format is told by the bytes (BMP, ICO, CUR, GIF, JPEG, PNG,
// WMF, EMF), never by the file's name. Every header is checked here before a decoder sees
// the bytes.
#include <cstring>
#include <fstream>
#include <iterator>

#include "base/byte_reader.h"
#include "platform/core/handle_table.h"
#include "platform/fs/fs.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gif_image.h"
#include "platform/gdi/icon_directory.h"
#include "platform/gdi/image.h"
#include "platform/gdi/jpeg_image.h"
#include "platform/gdi/png_image.h"
#include "platform/ole/picture_internal.h"

namespace orvex {
namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"

struct Metafile {
  std::vector<uint8_t> bytes;
};

HandleTable<Metafile>& Metafiles() {
  static auto* table = new HandleTable<Metafile>(HandleKind::Metafile);
  return *table;
}

// A picture owning `handle` (a bitmap or an icon), which is destroyed when no picture can
// be made of it.
HRESULT OwningPicture(SHORT type, uint32_t handle, IDispatch** picture) {
  if (!handle) return CTL_E_INVALIDPICTURE;
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = static_cast<UINT>(type);
  if (type == PICTYPE_BITMAP) {
    desc.bmp.hbitmap = handle;
  } else {
    desc.icon.hicon = handle;
  }
  const HRESULT hr =
      OleCreatePictureIndirect(&desc, IID_IDispatch, TRUE, reinterpret_cast<void**>(picture));
  if (hr >= 0) return hr;
  if (type == PICTYPE_BITMAP) {
    DeleteObject(handle);
  } else {
    DestroyIcon(handle);
  }
  return hr;
}

HRESULT BitmapPicture(HBITMAP bitmap, IDispatch** picture) {
  return OwningPicture(PICTYPE_BITMAP, bitmap, picture);
}

// ICO and CUR files: the first image of the directory.
HRESULT IconFilePicture(Bytes bytes, IDispatch** picture) {
  ByteReader reader(bytes);
  const uint16_t type = *reader.ReadAt<uint16_t>(2);
  auto count = reader.ReadAt<uint16_t>(4);
  auto size = reader.ReadAt<uint32_t>(6 + 8);
  auto offset = reader.ReadAt<uint32_t>(6 + 12);
  if (!count || *count == 0 || !size || !offset) return CTL_E_INVALIDPICTURE;
  auto image = reader.SliceAt(*offset, *size);
  if (!image) return CTL_E_INVALIDPICTURE;
  const bool cursor = type == kIconDirectoryCursor;
  // The resource form of a cursor starts with the hotspot the directory holds.
  const size_t prefix = cursor ? 4 : 0;
  std::vector<uint8_t> resource(prefix + image->size());
  if (cursor) std::memcpy(resource.data(), bytes.data() + 6 + 4, 4);
  if (!image->empty()) std::memcpy(resource.data() + prefix, image->data(), image->size());
  const HICON icon = CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()),
                                              !cursor, 0x00030000, 0, 0, 0);
  return OwningPicture(PICTYPE_ICON, icon, picture);
}

HRESULT MetafilePicture(SHORT type, Bytes bytes, LONG width, LONG height, IDispatch** picture) {
  const auto* first = reinterpret_cast<const uint8_t*>(bytes.data());
  const uint32_t handle = AddMetafileHandle(std::vector<uint8_t>(first, first + bytes.size()));
  if (!handle) return E_OUTOFMEMORY;
  return MakePicture(type, handle, true, width, height, IID_IDispatch,
                     reinterpret_cast<void**>(picture));
}

HRESULT PixelsPicture(Expected<Pixels> pixels, IDispatch** picture) {
  if (!pixels) return CTL_E_INVALIDPICTURE;
  return BitmapPicture(CreateBitmapFromPixels(std::move(*pixels), 32), picture);
}

}  // namespace

uint32_t AddMetafileHandle(std::vector<uint8_t> bytes) {
  return Metafiles().Add(std::make_shared<Metafile>(Metafile{std::move(bytes)}));
}

void DeleteMetafileHandle(uint32_t handle) {
  Metafiles().Remove(handle);
}

HRESULT LoadPictureFromBytes(Bytes bytes, IDispatch** picture) {
  if (!picture) return E_POINTER;
  *picture = nullptr;
  ByteReader reader(bytes);
  const auto word = [&](size_t at) {
    auto v = reader.ReadAt<uint16_t>(at);
    return v ? *v : uint16_t{0xFFFF};
  };
  const auto dword = [&](size_t at) {
    auto v = reader.ReadAt<uint32_t>(at);
    return v ? *v : 0u;
  };
  if (bytes.size() >= 14 && word(0) == 0x4D42) {  // "BM"
    const auto dib = bytes.subspan(14);
    return BitmapPicture(
        CreateBitmapFromPackedDib({reinterpret_cast<const uint8_t*>(dib.data()), dib.size()}, 0),
        picture);
  }
  if (bytes.size() >= 22 && word(0) == 0 && (word(2) == 1 || word(2) == 2) && word(4) > 0) {
    return IconFilePicture(bytes, picture);
  }
  if (IsPng(bytes)) return PixelsPicture(DecodePng(bytes), picture);
  if (IsGif(bytes)) return PixelsPicture(DecodeGif(bytes), picture);
  if (IsJpeg(bytes)) return PixelsPicture(DecodeJpeg(bytes), picture);
  if (bytes.size() >= 22 && dword(0) == kPlaceableKey) {
    // Bounding box in metafile units, `inch` of them to the inch.
    const auto box = [&](size_t at) { return static_cast<int16_t>(word(at)); };
    const int32_t inch = word(14);
    if (inch == 0) return CTL_E_INVALIDPICTURE;
    const LONG width = static_cast<LONG>((box(10) - box(6)) * 2540LL / inch);
    const LONG height = static_cast<LONG>((box(12) - box(8)) * 2540LL / inch);
    return MetafilePicture(PICTYPE_METAFILE, bytes, width < 0 ? -width : width,
                           height < 0 ? -height : height, picture);
  }
  if (bytes.size() >= 88 && dword(0) == 1 && dword(40) == kEmfSignature) {
    // rclFrame is in hundredths of a millimetre already.
    const auto frame = [&](size_t at) { return static_cast<int32_t>(dword(at)); };
    return MetafilePicture(PICTYPE_ENHMETAFILE, bytes, frame(32) - frame(24), frame(36) - frame(28),
                           picture);
  }
  return CTL_E_INVALIDPICTURE;
}

HRESULT OleLoadPictureFile(const std::string& path, IDispatch** picture) {
  if (!picture) return E_POINTER;
  *picture = nullptr;
  auto mapped = MapPath(path);
  if (!mapped) return CTL_E_FILENOTFOUND;
  std::ifstream file(*mapped, std::ios::binary);
  if (!file) return CTL_E_FILENOTFOUND;
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
  return LoadPictureFromBytes(AsBytes(bytes.data(), bytes.size()), picture);
}

}  // namespace orvex
