// Shared objects of the host system as the function-call class binds them: the platform's
// LoadLibraryA, GetProcAddress and FreeLibrary for code libraries. They live in their own
// namespace because the module layer's LoadLibraryExA/FreeLibrary map PE files as data and
// hand out handles from a different table.
#pragma once

#include "platform/win32_types.h"

namespace orvex::shared {

inline constexpr DWORD ERROR_PROC_NOT_FOUND = 127;

// An exported function of unknown type; callers cast it to the real one.
using FARPROC = void (*)();

// Loads a shared object. A name without "/" is searched as the dynamic loader searches
// (LD_LIBRARY_PATH, the loader cache, the default folders); any other name is a path, and
// a path with drive C ("C:\libs\x.so") goes through the drive mapping. Names are ANSI
// text. Loading the same object again returns the same handle and counts one more
// reference. Returns 0 and sets ERROR_MOD_NOT_FOUND when nothing can be loaded
// (ERROR_PATH_NOT_FOUND for a drive other than C).
HMODULE LoadLibraryA(LPCSTR name);

// The address of the exported symbol `name` (case-sensitive, by name only). Handle 0 is the
// host program itself: only symbols that the executable exports are found there, not those
// of the libraries it uses. Returns null and sets ERROR_PROC_NOT_FOUND (or
// ERROR_INVALID_HANDLE for an unknown handle) when nothing is found.
FARPROC GetProcAddress(HMODULE module, LPCSTR name);

// Drops one reference; the object is unloaded with its last one and the handle dies.
BOOL FreeLibrary(HMODULE module);

}  // namespace orvex::shared
