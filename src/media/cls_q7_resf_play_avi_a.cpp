#include "media/cls_q7_resf_play_avi_a.h"

#include <string>

#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "platform/user/window.h"
#include "server/frame/application_object.h"

namespace orvex {
namespace {

// The animation control's messages.
constexpr UINT kAcmOpenA = 0x464;
constexpr UINT kAcmPlay = 0x465;
constexpr UINT kAcmStop = 0x466;

constexpr DWORD kIccAnimateClass = 0x80;
constexpr DWORD kExTransparent = 0x20;
// WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT | ACS_AUTOPLAY.
constexpr DWORD kAnimationStyle = 0x50000007;

// ACM_PLAY's range: the first frame (0) in the low word, the last frame (-1: the clip's
// end) in the high word.
constexpr LPARAM kWholeClip = static_cast<int32_t>(0xFFFF0000u);
constexpr WPARAM kRepeatUntilStopped = static_cast<WPARAM>(-1);

HWND CreateAnimationWindow(HWND parent, int32_t left, int32_t top, int32_t width, int32_t height,
                           HINSTANCE instance) {
  return CreateWindowExA(kExTransparent, "SysAnimate32", "", kAnimationStyle, left, top, width,
                         height, parent, 0, instance, nullptr);
}

}  // namespace

clsQ7ResfPlayAviA::clsQ7ResfPlayAviA(const ClassInfo& info) : Dispatchable(info) {
  const INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), kIccAnimateClass};
  (void)InitCommonControlsEx(&init);
}

void clsQ7ResfPlayAviA::Create(int32_t hwnd, std::u16string_view StrAVI, int32_t Left, int32_t Top,
                               int32_t width, int32_t height) {
  const ComPtr<IDispatch> application = GetApplicationObject();
  const auto instance =
      static_cast<HINSTANCE>(GetProperty(application.Get(), "hInstance").ToLong());
  outer_ = CreateAnimationWindow(static_cast<HWND>(hwnd), Left, Top, width, height, instance);
  // The same Left and Top again, now counted from the outer window's corner.
  animation_ = CreateAnimationWindow(outer_, Left, Top, width, height, instance);
  const std::string path = UnicodeToAnsi(StrAVI);
  (void)SendMessageA(animation_, kAcmOpenA, 0, reinterpret_cast<LPARAM>(path.c_str()));
}

void clsQ7ResfPlayAviA::AnimatePlay() {
  (void)SendMessageA(animation_, kAcmPlay, kRepeatUntilStopped, kWholeClip);
}

void clsQ7ResfPlayAviA::AnimateStop() {
  (void)SendMessageA(animation_, kAcmStop, 0, 0);
}

void clsQ7ResfPlayAviA::Destroy() {
  AnimateStop();
  (void)DestroyWindow(animation_);
  (void)DestroyWindow(outer_);
}

void clsQ7ResfPlayAviA::AutoPlay() {
  (void)SendMessageA(animation_, kAcmPlay, kRepeatUntilStopped, kWholeClip);
}

}  // namespace orvex
