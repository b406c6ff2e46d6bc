// Lets a part of the stand-in above the window manager serve one of the system's window
// classes with its own procedure (the animation control's lives with the media code, which
// sets it as that code is loaded). Windows made before the change keep their procedure.
#pragma once

#include "platform/user/window.h"

namespace orvex {

void SetSystemClassProcedure(const char* className, WNDPROC proc);

}  // namespace orvex
