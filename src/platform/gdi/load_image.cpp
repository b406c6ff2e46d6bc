// LoadImageA from a module's resources: bitmaps from RT_BITMAP, icons and cursors through
// their group directory and the entry it chooses.
#include "platform/gdi/gdi.h"
#include "platform/gdi/icon_directory.h"
#include "platform/gdi/image.h"
#include "platform/module/module.h"
#include "platform/module/resource_types.h"

namespace orvex {
namespace {

constexpr int kSystemIconSize = 32;

// The bytes of a resource, or an empty span (last error set by the module layer).
std::span<const uint8_t> ResourceBytes(HINSTANCE instance, LPCSTR name, ResourceType type) {
  const auto bytes = FindResourceBytes(instance, name, MAKEINTRESOURCEA(type));
  if (!bytes) return {};
  return {reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()};
}

}  // namespace

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cxDesired, int cyDesired,
                  UINT flags) {
  if (type == IMAGE_BITMAP) {
    const auto dib = ResourceBytes(instance, name, RT_BITMAP);
    return dib.empty() ? 0 : CreateBitmapFromPackedDib(dib, flags);
  }
  if (type != IMAGE_ICON && type != IMAGE_CURSOR) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const bool icon = type == IMAGE_ICON;
  // LR_DEFAULTSIZE asks for the system's icon and cursor size (32 × 32 at 96 dpi) where no
  // size is given.
  if (flags & LR_DEFAULTSIZE) {
    if (cxDesired == 0) cxDesired = kSystemIconSize;
    if (cyDesired == 0) cyDesired = kSystemIconSize;
  }
  const auto directory = ResourceBytes(instance, name, icon ? RT_GROUP_ICON : RT_GROUP_CURSOR);
  if (directory.empty()) {
    // A missing group reports its type missing, even where the module holds groups.
    if (GetLastError() == ERROR_RESOURCE_NAME_NOT_FOUND)
      SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return 0;
  }
  // The directory must hold its header and every entry it counts.
  if (directory.size() < 6 || directory.size() < IconDirectorySize(directory.data())) {
    SetLastError(ERROR_INVALID_DATA);
    return 0;
  }
  const int id =
      ChooseIconId(AsBytes(directory.data(), directory.size()), icon, cxDesired, cyDesired);
  if (id == 0) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  const auto image = ResourceBytes(instance, MAKEINTRESOURCEA(static_cast<uintptr_t>(id)),
                                   icon ? RT_ICON : RT_CURSOR);
  if (image.empty()) return 0;
  return CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), icon, 0x00030000,
                                  cxDesired, cyDesired, flags);
}

}  // namespace orvex
