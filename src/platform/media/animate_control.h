// The animation control (window class "SysAnimate32"): shows a silent clip, uncompressed or
// RLE8, from a file or an "AVI" resource, and plays it on the platform clock. Its window
// procedure serves the system class as soon as this library is part of the program.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/gdi/image.h"
#include "platform/media/clock.h"
#include "platform/user/window.h"
#include "platform/win32_types.h"

namespace orvex {

inline constexpr DWORD ACS_CENTER = 0x0001;
inline constexpr DWORD ACS_TRANSPARENT = 0x0002;
inline constexpr DWORD ACS_AUTOPLAY = 0x0004;
inline constexpr DWORD ACS_TIMER = 0x0008;

inline constexpr UINT WM_USER = 0x0400;
// wParam: a module whose "AVI" resource lParam names (0: the window's own module); lParam: the
// resource name or id, else a file path; 0 closes the clip. TRUE when a clip is open.
inline constexpr UINT ACM_OPENA = WM_USER + 100;
// wParam: passes (-1 until stopped); lParam: MAKELONG(from, to), to 0xFFFF the last frame.
inline constexpr UINT ACM_PLAY = WM_USER + 101;
inline constexpr UINT ACM_STOP = WM_USER + 102;
inline constexpr UINT ACM_ISPLAYING = WM_USER + 104;

LRESULT AnimateControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// For hosts that record what a control plays (the command line writes the frames out): the
// frame on show as the clip holds it, before ACS_TRANSPARENT lets the background through
// its key colour, with the clip's length and rate. Nothing when the control holds no clip.
// Not one of the control's messages.
struct AnimationFrame {
  Pixels pixels;
  uint32_t index = 0;  // of the frame on show
  uint32_t frameCount = 0;
  ClockTime frameInterval{0};
  bool playing = false;
};
std::optional<AnimationFrame> AnimationFrameOnShow(HWND control);

}  // namespace orvex
