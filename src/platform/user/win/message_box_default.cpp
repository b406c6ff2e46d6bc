// Without a handler, message boxes are the platform's own.
#include "platform/user/message_box_default.h"

#include "platform/core/win/windows_sdk.h"

namespace orvex {

int ShowMessageBoxWithoutHandler(const MessageBoxCall& call) {
  return ::MessageBoxA(win::ToReal<::HWND>(call.owner), call.text.c_str(), call.caption.c_str(),
                       call.style);
}

}  // namespace orvex
