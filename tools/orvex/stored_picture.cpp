#include "stored_picture.h"

#include <algorithm>
#include <string>

#include "cli_error.h"
#include "platform/gdi/gdi.h"
#include "platform/module/module.h"

namespace orvex::cli {

RgbaImage StoredPictureImage(HMODULE module, uint32_t type, std::string_view name) {
  const bool digits = !name.empty() && std::all_of(name.begin(), name.end(),
                                                   [](char c) { return c >= '0' && c <= '9'; });
  const std::string resName = digits ? "#" + std::string(name) : std::string(name);
  const std::string what = "no picture of type " + std::to_string(type) + " named " + resName;
  switch (type) {
    case 1:
    case 3: {
      const auto bytes = FindResourceBytes(module, resName.c_str(), MAKEINTRESOURCEA(type));
      if (!bytes || bytes->empty()) throw CliError(what);
      const HICON icon = CreateIconFromResourceEx(reinterpret_cast<const BYTE*>(bytes->data()),
                                                  static_cast<DWORD>(bytes->size()), type == 3,
                                                  0x00030000, 0, 0, 0);
      if (icon == 0) throw CliError(what);
      struct Destroy {
        HICON icon;
        bool cursor;
        ~Destroy() { cursor ? DestroyCursor(icon) : DestroyIcon(icon); }
      } destroy{icon, type == 1};
      return ImageOfIcon(icon);
    }
    case 2: {
      const HANDLE bitmap = LoadImageA(module, resName.c_str(), IMAGE_BITMAP, 0, 0, 0);
      if (bitmap == 0) throw CliError(what);
      struct Delete {
        HANDLE bitmap;
        ~Delete() { DeleteObject(bitmap); }
      } release{bitmap};
      return ImageOfBitmap(bitmap);
    }
    case 12:
    case 14: {
      const UINT imageType = type == 14 ? IMAGE_ICON : IMAGE_CURSOR;
      const HANDLE icon = LoadImageA(module, resName.c_str(), imageType, 0, 0, 0);
      if (icon == 0) throw CliError(what);
      struct Destroy {
        HANDLE icon;
        bool cursor;
        ~Destroy() { cursor ? DestroyCursor(icon) : DestroyIcon(icon); }
      } destroy{icon, type == 12};
      return ImageOfIcon(icon);
    }
    default:
      throw CliError(what + " (GetPicture takes types 1, 2, 3, 12 and 14)");
  }
}

}  // namespace orvex::cli
