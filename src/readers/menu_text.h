// GetMenuText's rendering: a menu as an indented outline, one line per item.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/step_runner.h"
#include "platform/win32_types.h"

namespace orvex {

// Submenus nested deeper than this end the walk with Err::OutOfStackSpace.
inline constexpr int32_t kMaxMenuWalkDepth = 64;

// Appends the lines of `menu`'s items to `threadMenuText`, each submenu's lines right after
// its parent item's line with five more "." of indentation: "[MENU SEPARATOR]" for an item
// whose type is exactly MFT_SEPARATOR, otherwise the caption as stored, " (checked)" when
// checked, and " (cmdID = ", the identifier, ")"; every line ends in CR LF. A handle that
// names no menu (0 included) writes nothing.
void WalkMenuItems(HMENU menu, int32_t depth, std::u16string& threadMenuText);

// GetMenuText's steps, run through `steps` (source ".GetMenuText"): clear threadMenuText,
// load the menu with `loadMenu`, walk it (a failure ends the walk; the lines written stay),
// destroy it, and return threadMenuText.
std::u16string RenderMenuText(const std::function<HMENU()>& loadMenu,
                              std::u16string& threadMenuText, StepRunner& steps);

// GetMenuText(ResName) for the module `module` (ThreadModuleHandle): RenderMenuText with
// LoadMenuA(module, resName as ANSI). `threadMenuText` is the thread's ThreadMenuText.
std::u16string GetMenuText(HMODULE module, std::u16string_view resName,
                           std::u16string& threadMenuText, StepRunner& steps);

}  // namespace orvex
