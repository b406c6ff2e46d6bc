#include "platform/user/window_metrics.h"

namespace orvex {

int GetSystemMetrics(int index) {
  struct Metric {
    int index, value;
  };
  // The display is fixed at 1024 x 768; the rest are the platform's defaults at 96 dpi.
  static constexpr Metric kMetrics[] = {
      {SM_CXSCREEN, 1024}, {SM_CYSCREEN, 768}, {SM_CXVSCROLL, 17},  {SM_CYHSCROLL, 17},
      {SM_CYCAPTION, 19},  {SM_CXBORDER, 1},   {SM_CYBORDER, 1},    {SM_CXDLGFRAME, 3},
      {SM_CYDLGFRAME, 3},  {SM_CXICON, 32},    {SM_CYICON, 32},     {SM_CYMENU, 19},
      {SM_CXFRAME, 4},     {SM_CYFRAME, 4},    {SM_CXEDGE, 2},      {SM_CYEDGE, 2},
      {SM_CXSMICON, 16},   {SM_CYSMICON, 16},  {SM_CYSMCAPTION, 16}};
  for (const Metric& m : kMetrics)
    if (m.index == index) return m.value;
  return 0;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (rect == nullptr) return FALSE;
  // The outer edge: one pixel for a lone static edge, else two for any framed window.
  int inset = 0;
  if ((exStyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE)
    inset = 1;
  else if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)))
    inset = 2;
  // A sizing frame is as much wider than a dialog frame as the two metrics differ.
  if (style & WS_THICKFRAME)
    inset += GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXDLGFRAME);
  if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME)) inset += 1;
  if (exStyle & WS_EX_CLIENTEDGE) inset += GetSystemMetrics(SM_CXEDGE);
  rect->left -= inset;
  rect->top -= inset;
  rect->right += inset;
  rect->bottom += inset;
  if ((style & WS_CAPTION) == WS_CAPTION)
    rect->top -= GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
  if (menu) rect->top -= GetSystemMetrics(SM_CYMENU);
  return TRUE;
}

}  // namespace orvex
