// System metrics of the emulated display and the non-client insets windows get from their
// styles, as the platform reports them.
#pragma once

#include "platform/user/window.h"
#include "platform/win32_types.h"

namespace orvex {

inline constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3,
                     SM_CYCAPTION = 4, SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7,
                     SM_CYDLGFRAME = 8, SM_CXICON = 11, SM_CYICON = 12, SM_CYMENU = 15,
                     SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CXEDGE = 45, SM_CYEDGE = 46,
                     SM_CXSMICON = 49, SM_CYSMICON = 50, SM_CYSMCAPTION = 51;

// The metric's value, or 0 for one this system does not model.
int GetSystemMetrics(int index);

// Grows a client rectangle to the window rectangle of the given styles.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);

}  // namespace orvex
