// Icon and cursor images (DIB or PNG) and group directories: make the icon both ways, read
// its images back and destroy it; look up an entry of the input taken as a directory.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (orvex::BOOL fIcon : {orvex::TRUE, orvex::FALSE}) {
    const orvex::HICON icon = orvex::CreateIconFromResourceEx(
        data, static_cast<orvex::DWORD>(size), fIcon, 0x00030000, 0, 0, orvex::LR_LOADMAP3DCOLORS);
    if (!icon) continue;
    orvex::ICONINFO info{};
    if (orvex::GetIconInfo(icon, &info)) {
      orvex::DeleteObject(info.hbmColor);
      orvex::DeleteObject(info.hbmMask);
    }
    if (!orvex::IconPixels(icon)) __builtin_trap();
    orvex::DestroyIcon(icon);
  }
  // A directory must hold the entries it counts before the lookup reads them.
  if (size >= 6 && size >= 6u + 14u * (data[4] | data[5] << 8)) {
    orvex::LookupIconIdFromDirectoryEx(data, orvex::TRUE, 0, 0, 0);
    orvex::LookupIconIdFromDirectoryEx(data, orvex::FALSE, 32, 32, 0);
  }
  return 0;
}
