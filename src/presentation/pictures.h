// Picture objects over image handles, as the catalogue's picture members make them.
#pragma once

#include <string_view>

#include "platform/ole/wrappers.h"
#include "platform/win32_types.h"

namespace orvex {

// A picture (IPictureDisp) owning `handle`, or null. When no picture can be made the
// handle is destroyed, so it never leaks.
ComPtr<IDispatch> PictureFromBitmapHandle(HBITMAP handle);
// The same for an icon or cursor; null at once, without any call, for handle 0.
ComPtr<IDispatch> PictureFromIconHandle(HICON handle);

// Whether a resource name is taken as a number by GetPicture (which then puts "#" before
// it): one or more decimal digits and nothing else.
bool ReadsAsResourceNumber(std::u16string_view name);

}  // namespace orvex
