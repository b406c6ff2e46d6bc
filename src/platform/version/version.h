// The platform's version functions: a file's version resource copied into a caller's
// buffer and queried by path.
#pragma once

#include "base/byte_reader.h"
#include "platform/win32_types.h"

namespace orvex {

inline constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;

// The root value of a version resource.
struct VS_FIXEDFILEINFO {
  DWORD dwSignature;  // VS_FFI_SIGNATURE
  DWORD dwStrucVersion;
  DWORD dwFileVersionMS;
  DWORD dwFileVersionLS;
  DWORD dwProductVersionMS;
  DWORD dwProductVersionLS;
  DWORD dwFileFlagsMask;
  DWORD dwFileFlags;
  DWORD dwFileOS;
  DWORD dwFileType;
  DWORD dwFileSubtype;
  DWORD dwFileDateMS;
  DWORD dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

// The buffer size GetFileVersionInfoA needs for the file's version resource (resource 1 of
// type 16, else the first of that type), or 0 with the last error set when the file is
// missing, not a module, or has none. *handle (if given) is set to 0.
DWORD GetFileVersionInfoSizeA(LPCSTR filename, DWORD* handle);
// Copies the version resource into `data` (`size` bytes, as the size function gave) with
// room behind it where VerQueryValueA puts ANSI copies of text values. A smaller buffer
// receives a shortened block whose text values cannot be queried.
BOOL GetFileVersionInfoA(LPCSTR filename, DWORD handle, DWORD size, LPVOID data);

// Looks `subBlock` up in a buffer that GetFileVersionInfoA filled: "\" gives the
// VS_FIXEDFILEINFO, other paths the named value. Text values are delivered as
// zero-terminated ANSI text placed in the buffer's spare room (*length: its characters as
// stored); other values point into the block (*length: bytes). A missing value returns
// FALSE, sets *length to 0 and leaves *buffer untouched.
BOOL VerQueryValueA(const void* block, LPCSTR subBlock, LPVOID* buffer, UINT* length);

// The buffer size for a version resource of `resource` bytes, and the copy that
// GetFileVersionInfoA makes of it (the part after the file lookup). `resource` is the
// resource's bytes as stored; `data` receives min(size, needed) bytes.
DWORD VersionBufferSize(Bytes resource);
BOOL CopyVersionResource(Bytes resource, DWORD size, LPVOID data);

}  // namespace orvex
