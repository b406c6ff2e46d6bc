#include "readers/menu_text.h"

#include <algorithm>
#include <iterator>
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

// One item's line, put together in a fixed buffer and appended to the text at once. The
// longest line is the deepest indentation, a full caption and the longest suffix.
class MenuLine {
 public:
  void Indent(int32_t depth) {  // depth is at most kMaxMenuWalkDepth
    const size_t dots = depth > 0 ? static_cast<size_t>(depth) * 5 : 0;
    std::fill_n(text_ + length_, dots, u'.');
    length_ += dots;
  }
  template <size_t N>
  void Add(const char16_t (&literal)[N]) {
    std::copy_n(literal, N - 1, text_ + length_);
    length_ += N - 1;
  }
  void AddAnsi(std::string_view ansi) {
    AnsiToUnicode(ansi, text_ + length_);
    length_ += ansi.size();
  }
  void AddDecimal(int32_t value) {
    char16_t digits[readers::kDecimalCapacity];
    const char16_t* first = readers::DecimalBefore(std::end(digits), value);
    std::copy(first, static_cast<const char16_t*>(std::end(digits)), text_ + length_);
    length_ += static_cast<size_t>(std::end(digits) - first);
  }
  std::u16string_view Text() const { return {text_, length_}; }

 private:
  static constexpr size_t kCapacity =
      kMaxMenuWalkDepth * 5 + kCaptionBufferSize + sizeof(" (checked) (cmdID = -2147483648)\r\n");
  char16_t text_[kCapacity];
  size_t length_ = 0;
};

}  // namespace

void WalkMenuItems(HMENU menu, int32_t depth, std::u16string& threadMenuText) {
  if (depth > kMaxMenuWalkDepth) readers::ThrowOutOfStackSpace();
  const int count = GetMenuItemCount(menu);
  if (count < 1) return;
  Ptr32<char> address;
  char* const caption = CaptionBuffer(address);
  if (!address) readers::ThrowOutOfStackSpace();
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof(MENUITEMINFOA);
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
    info.dwTypeData = address;
    info.cch = kCaptionBufferSize;
    // The caption is a fresh zero-filled buffer for every item. Only a failed query leaves
    // bytes unwritten that the line then shows, so only then is it cleared.
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info))
      std::fill_n(caption, kCaptionBufferSize, '\0');

    MenuLine line;
    line.Indent(depth);
    if (info.fType == MFT_SEPARATOR) {
      line.Add(u"[MENU SEPARATOR]\r\n");
    } else {
      // The first cch characters of the converted buffer: the code page gives one character
      // per byte, so only those bytes are converted.
      line.AddAnsi(std::string_view(caption, std::min<size_t>(info.cch, kCaptionBufferSize)));
      if (info.fState & MFS_CHECKED) line.Add(u" (checked)");
      line.Add(u" (cmdID = ");
      line.AddDecimal(static_cast<int32_t>(info.wID));
      line.Add(u")\r\n");
    }
    threadMenuText.append(line.Text());
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
