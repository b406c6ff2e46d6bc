// LoadMenuA: the resource lookup in front of the template loader.
#include "platform/module/module.h"
#include "platform/module/resource_types.h"
#include "platform/user/menu.h"

namespace orvex {

HMENU LoadMenuA(HINSTANCE module, LPCSTR name) {
  const auto bytes = FindResourceBytes(module, name, MAKEINTRESOURCEA(RT_MENU));
  return bytes ? LoadMenuFromBytes(*bytes) : 0;
}

}  // namespace orvex
