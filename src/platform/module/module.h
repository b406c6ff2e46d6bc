// PE modules as the resource functions of the platform see them. A module is a PE file
// mapped read-only; nothing from it is ever executed. Handles are process-wide.
#pragma once

#include "base/byte_reader.h"
#include "base/expected.h"
#include "platform/win32_types.h"

namespace orvex {

// Flags of LoadLibraryExA; every load maps the file as data, whatever the flags say.
inline constexpr DWORD DONT_RESOLVE_DLL_REFERENCES = 0x1;
inline constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x2;
inline constexpr DWORD LOAD_LIBRARY_AS_IMAGE_RESOURCE = 0x20;

// Set when an enumeration ends because its callback returned FALSE.
inline constexpr DWORD ERROR_RESOURCE_ENUM_USER_STOP = 15106;

using ENUMRESTYPEPROCA = BOOL (*)(HMODULE module, LPSTR type, LONG_PTR param);
using ENUMRESNAMEPROCA = BOOL (*)(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param);
using ENUMRESLANGPROCA = BOOL (*)(HMODULE module, LPCSTR type, LPCSTR name, WORD language,
                                  LONG_PTR param);

// Maps the PE file at `path` (PE32 or PE32+, any machine). Returns 0 and sets the last
// error for a missing file (ERROR_MOD_NOT_FOUND), a folder (ERROR_ACCESS_DENIED), a non-PE
// file, truncated headers or a 16-bit NE/LE file (ERROR_BAD_EXE_FORMAT). `file` must be 0.
// Every load maps the file anew and gets its own handle: loading one path twice gives two
// handles, each released by its own FreeLibrary. Pointers from LockResource stay valid
// until the FreeLibrary of their module.
HMODULE LoadLibraryExA(LPCSTR path, uint32_t file, DWORD flags);
BOOL FreeLibrary(HMODULE module);

// The loaded file's absolute path; handle 0 is the host program's own module. Copies at
// most size-1 characters plus a terminator and returns the length copied (truncation sets
// ERROR_INSUFFICIENT_BUFFER and returns size).
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);

// Identifiers passed to callbacks are integers (<= 0xFFFF) or addresses of zero-terminated
// ANSI text that is valid during the callback and lies in the low 4 GB, so it fits the
// platform's 32-bit identifier values. Named entries come first, in stored order, then
// numbered ones ascending. A callback returning FALSE stops the walk.
BOOL EnumResourceTypesA(HMODULE module, ENUMRESTYPEPROCA proc, LONG_PTR param);
BOOL EnumResourceNamesA(HMODULE module, LPCSTR type, ENUMRESNAMEPROCA proc, LONG_PTR param);
BOOL EnumResourceLanguagesA(HMODULE module, LPCSTR type, LPCSTR name, ENUMRESLANGPROCA proc,
                            LONG_PTR param);

// Integer or text type and name; "#123" is the number 123; text matches regardless of case.
// "#" must be followed by decimal digits only, with a value up to 65535; other "#" texts
// find nothing. Among several languages: 0x0000, then the thread's UI language
// (GetThreadUILanguage, ui_language.h; 0x0409 unless set), then its primary language with
// the neutral sublanguage, then 0x0409, then 0x0009, then the lowest stored. The handle
// stays valid until FreeLibrary; finding the same resource again gives the same handle.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
// Exactly `language`; language 0 picks like FindResourceA.
HRSRC FindResourceExA(HMODULE module, LPCSTR type, LPCSTR name, WORD language);
// 0 (with ERROR_RESOURCE_DATA_NOT_FOUND) when the data entry's range leaves the file.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
// A view of the mapped bytes; null when the data entry's range leaves the file.
const void* LockResource(HGLOBAL data);
// 0 for a zero handle and when the data entry's range leaves the file.
DWORD SizeofResource(HMODULE module, HRSRC resource);
// Nothing to release (the view lives as long as the module); returns FALSE like the
// platform.
BOOL FreeResource(HGLOBAL data);

// FindResourceA, LoadResource, LockResource and SizeofResource in one: the resource's
// bytes where the module maps them, valid until its FreeLibrary. Fails when there is no
// such resource or its data lies outside the file; the last error is what those functions
// set, and the error's code is that last error (ERROR_RESOURCE_DATA_NOT_FOUND for data
// outside the file).
Expected<Bytes> FindResourceBytes(HMODULE module, LPCSTR name, LPCSTR type);

// The module holding the resources of the library whose code contains `codeAddress`:
// where the platform's loader maps the library itself, the library's own module (the build
// links `image`'s resources into it); on the stand-in, `image` (a resource-only PE image)
// mapped as a module of its own. 0 when neither can be had.
HMODULE LoadOwnResourceModule(const void* codeAddress, Bytes image);

// The host program's own module (handle 0): a host may register a PE file to stand for it
// (null restores the default: no resources, file name of the running executable).
BOOL RegisterHostModuleFile(LPCSTR path);

}  // namespace orvex
