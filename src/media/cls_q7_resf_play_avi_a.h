// clsQ7ResfPlayAviA: a silent AVI clip from a file, shown in the platform's animation
// control inside a window the caller names by handle. Create makes two animation windows
// (an outer one in the caller's window, the animation window inside it) and opens the clip;
// every later message goes to the animation window. Releasing the object leaves the windows
// in place; Destroy, or destroying the caller's window, removes them.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/ole/dispatch.h"
#include "platform/win32_types.h"

namespace orvex {

class clsQ7ResfPlayAviA : public Dispatchable {
 public:
  // Start-up: registers the animation control class (result ignored).
  explicit clsQ7ResfPlayAviA(const ClassInfo& info);

  // Creates the outer window at Left, Top (width × height) in `hwnd`, the animation window
  // at the same Left, Top inside the outer one, and opens StrAVI there. Window results are
  // ignored: a failed creation leaves a zero handle. A failure to read the library's
  // instance handle from the application object is the call's error.
  void Create(int32_t hwnd, std::u16string_view StrAVI, int32_t Left, int32_t Top, int32_t width,
              int32_t height);
  // Plays every frame of the clip, repeating until stopped.
  void AnimatePlay();
  void AnimateStop();
  // AnimateStop, then destroys the animation window and the outer window.
  void Destroy();
  // Starts the clip again from its first frame, repeating until stopped (as AnimatePlay).
  void AutoPlay();

  HWND AnimationWindow() const { return animation_; }
  HWND OuterWindow() const { return outer_; }

 private:
  HWND animation_ = 0;
  HWND outer_ = 0;
};

}  // namespace orvex
