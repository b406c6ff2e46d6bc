// Menu templates of both layouts: parse, build handles, query every item, destroy.
#include <cstddef>
#include <cstdint>

#include "platform/user/menu.h"

namespace {

void Walk(orvex::HMENU menu, int depth, orvex::LowBuffer& buffer) {
  if (depth > orvex::kMaxMenuDepth + 1) __builtin_trap();  // the loader must cap nesting
  int count = orvex::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    orvex::MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = orvex::MIIM_STATE | orvex::MIIM_ID | orvex::MIIM_SUBMENU | orvex::MIIM_TYPE;
    info.dwTypeData = buffer.Address32();
    info.cch = static_cast<orvex::UINT>(buffer.Size());
    if (!orvex::GetMenuItemInfoA(menu, static_cast<orvex::UINT>(i), orvex::TRUE, &info)) continue;
    if (info.cch >= buffer.Size()) __builtin_trap();  // cch counts what was copied
    if (info.hSubMenu != 0) Walk(info.hSubMenu, depth + 1, buffer);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static orvex::LowBuffer buffer(256);
  orvex::Bytes bytes = orvex::AsBytes(data, size);
  auto parsed = orvex::ParseMenuTemplate(bytes);
  orvex::HMENU menu = orvex::LoadMenuFromBytes(bytes);
  if ((menu != 0) != parsed.HasValue()) __builtin_trap();
  if (menu != 0) {
    Walk(menu, 0, buffer);
    orvex::DestroyMenu(menu);
  }
  if (orvex::LiveMenuCountForTesting() != 0) __builtin_trap();  // submenus go with the menu
  return 0;
}
