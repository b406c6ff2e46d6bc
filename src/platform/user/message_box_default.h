// What a message box does when no host installed a handler: the backend's own (the
// stand-in prints it to stderr and answers with its default button; the platform shows it).
#pragma once

#include "platform/user/message_box.h"

namespace orvex {

int ShowMessageBoxWithoutHandler(const MessageBoxCall& call);

}  // namespace orvex
