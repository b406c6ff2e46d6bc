#include "readers/menu_text.h"

#include <algorithm>
#include <string>

#include "platform/text/text.h"
#include "platform/user/low_memory.h"
#include "platform/user/menu.h"
#include "readers/reader_errors.h"
#include "readers/text_parts.h"

namespace orvex {
namespace {

constexpr UINT kCaptionBufferSize = 256;

// The caption buffer of the thread's walks. It sits below 4 GB (MENUITEMINFOA names it by a
// 32-bit field), so it is mapped once per thread rather than once per menu level; a level
// is done with it before it walks a submenu.
char* CaptionBuffer(Ptr32<char>& address) {
  thread_local LowBuffer buffer(kCaptionBufferSize);
  address = buffer.Address32();
  return buffer.Data();
}

}  // namespace

void WalkMenuItems(HMENU menu, int32_t depth, std::u16string& threadMenuText) {
  if (depth > kMaxMenuWalkDepth) readers::ThrowOutOfStackSpace();
  const int count = GetMenuItemCount(menu);
  if (count < 1) return;
  Ptr32<char> address;
  char* const caption = CaptionBuffer(address);
  if (!address) readers::ThrowOutOfStackSpace();
  for (int position = 0; position < count; ++position) {
    std::fill_n(caption, kCaptionBufferSize, '\0');
    MENUITEMINFOA info{};
    info.cbSize = sizeof(MENUITEMINFOA);
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
    info.dwTypeData = address;
    info.cch = kCaptionBufferSize;
    (void)GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);

    threadMenuText.append(static_cast<size_t>(depth) * 5, u'.');
    if (info.fType == MFT_SEPARATOR) {
      threadMenuText += u"[MENU SEPARATOR]\r\n";
    } else {
      // The first cch characters of the converted buffer: the code page gives one character
      // per byte, so only those bytes are converted.
      threadMenuText +=
          AnsiToUnicode(std::string_view(caption, std::min<size_t>(info.cch, kCaptionBufferSize)));
      if (info.fState & MFS_CHECKED) threadMenuText += u" (checked)";
      threadMenuText += u" (cmdID = ";
      readers::AppendDecimal(threadMenuText, static_cast<int32_t>(info.wID));
      threadMenuText += u")\r\n";
    }
    if (info.hSubMenu != 0) WalkMenuItems(info.hSubMenu, depth + 1, threadMenuText);
  }
}

std::u16string RenderMenuText(const std::function<HMENU()>& loadMenu,
                              std::u16string& threadMenuText, StepRunner& steps) {
  steps([&] { threadMenuText.clear(); });
  HMENU menu = 0;
  steps([&] { menu = loadMenu(); });
  steps([&] { WalkMenuItems(menu, 0, threadMenuText); });
  steps([&] { (void)DestroyMenu(menu); });
  return threadMenuText;
}

std::u16string GetMenuText(HMODULE module, std::u16string_view resName,
                           std::u16string& threadMenuText, StepRunner& steps) {
  const std::string name = UnicodeToAnsi(resName);
  return RenderMenuText([&] { return LoadMenuA(module, name.c_str()); }, threadMenuText, steps);
}

}  // namespace orvex
