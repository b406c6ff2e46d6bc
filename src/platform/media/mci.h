// The media control interface as string commands, with the avivideo device: a clip opened
// from a file plays in a window of its own (class "AVIWnd32"), a child of the window named
// by "parent N style child" or else a top-level window. Codecs: uncompressed, RLE8, MS
// Video-1 and Cinepak; the video is shown, sound is not played.
#pragma once

#include <functional>
#include <string_view>

#include "platform/win32_types.h"

namespace orvex {

using MCIERROR = DWORD;

inline constexpr MCIERROR MCIERR_UNRECOGNIZED_KEYWORD = 259;
inline constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = 261;
inline constexpr MCIERROR MCIERR_INVALID_DEVICE_NAME = 263;
inline constexpr MCIERROR MCIERR_CANNOT_LOAD_DRIVER = 266;
inline constexpr MCIERROR MCIERR_MISSING_COMMAND_STRING = 267;
inline constexpr MCIERROR MCIERR_MISSING_STRING_ARGUMENT = 269;
inline constexpr MCIERROR MCIERR_BAD_INTEGER = 270;
inline constexpr MCIERROR MCIERR_MISSING_PARAMETER = 273;
inline constexpr MCIERROR MCIERR_UNSUPPORTED_FUNCTION = 274;
inline constexpr MCIERROR MCIERR_FILE_NOT_FOUND = 275;
inline constexpr MCIERROR MCIERR_EXTENSION_NOT_FOUND = 281;
inline constexpr MCIERROR MCIERR_OUTOFRANGE = 282;
inline constexpr MCIERROR MCIERR_DUPLICATE_ALIAS = 289;
inline constexpr MCIERROR MCIERR_MISSING_DEVICE_NAME = 292;
inline constexpr MCIERROR MCIERR_NO_CLOSING_QUOTE = 294;
inline constexpr MCIERROR MCIERR_CREATEWINDOW = 347;

// Runs one command ("verb device [arguments]", keywords without regard to case); the reply
// text goes to `returnString` (cut to `returnLength` characters with its NUL). 0 on
// success, else an error number for mciGetErrorStringA.
MCIERROR mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength, HWND callback);
// Installs a function that is given the text of every command mciSendStringA receives,
// before it runs, whichever thread sends it (an empty function removes it). For tests.
void SetMciCommandRecorderForTesting(std::function<void(std::string_view)> recorder);
// The text of an error number; FALSE (and an empty text) for a number without one.
BOOL mciGetErrorStringA(MCIERROR error, LPSTR text, UINT length);

}  // namespace orvex
