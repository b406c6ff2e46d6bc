// The media control interface as string commands. No device is open in this process yet:
// every command is answered as the platform answers it for a name that names no open
// device.
#pragma once

#include <functional>
#include <string_view>

#include "platform/win32_types.h"

namespace orvex {

using MCIERROR = DWORD;

inline constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = 261;
inline constexpr MCIERROR MCIERR_INVALID_DEVICE_NAME = 263;
inline constexpr MCIERROR MCIERR_EXTENSION_NOT_FOUND = 281;
inline constexpr MCIERROR MCIERR_MISSING_DEVICE_NAME = 292;

// Runs one command ("verb device [arguments]", keywords without regard to case); the reply
// text goes to `returnString` (at most `returnLength` characters with its NUL). 0 on
// success, else an error number for mciGetErrorStringA.
MCIERROR mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength, HWND callback);
// Installs a function that is given the text of every command mciSendStringA receives,
// before it runs, whichever thread sends it (an empty function removes it). For tests.
void SetMciCommandRecorderForTesting(std::function<void(std::string_view)> recorder);
// The text of an error number; FALSE (and an empty text) for a number without one.
BOOL mciGetErrorStringA(MCIERROR error, LPSTR text, UINT length);

}  // namespace orvex
