// LoadMenuA: the resource lookup in front of the template loader.
#include "platform/module/module.h"
#include "platform/user/menu.h"

namespace orvex {

HMENU LoadMenuA(HINSTANCE module, LPCSTR name) {
  HRSRC resource = FindResourceA(module, name, MAKEINTRESOURCEA(RT_MENU_ID));
  if (resource == 0) return 0;
  HGLOBAL data = LoadResource(module, resource);
  if (data == 0) return 0;
  const void* bytes = LockResource(data);
  DWORD size = SizeofResource(module, resource);
  HMENU menu = bytes == nullptr ? 0 : LoadMenuFromBytes(AsBytes(bytes, size));
  FreeResource(data);
  return menu;
}

}  // namespace orvex
