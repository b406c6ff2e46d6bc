#include "platform/user/message_box_default.h"

namespace orvex {

int ShowMessageBoxWithoutHandler(const MessageBoxCall& call) {
  return PrintMessageBoxToStderr(call);
}

}  // namespace orvex
