// Compiled resource files (.res) loaded as modules of their own kind. Both backends of the
// module functions hand a handle of this kind to the functions below before anything else,
// so a .res file is served the same way wherever the module functions pass through to
// the platform's own loader (which cannot open one). Handles of this kind lie in ranges
// that the backends never give out: modules 0xFF000000 and up, resources 0x80000000 and
// up.
#pragma once

#include <optional>

#include "platform/module/module.h"

namespace orvex::res_module {

// Loads `path` when it is a compiled resource file: the module, or 0 with the last error
// set when it is one that cannot be read. Nothing when it is no compiled resource file
// (or cannot be opened), so that the caller tries it as a PE file.
std::optional<HMODULE> Load(LPCSTR path);

bool IsModule(HMODULE module);
bool IsResource(uint32_t handle);

// The module functions for handles of this kind (IsModule / IsResource), with the same
// contracts as the functions of module.h.
BOOL Free(HMODULE module);
DWORD GetFileName(HMODULE module, LPSTR buffer, DWORD size);
BOOL EnumTypes(HMODULE module, ENUMRESTYPEPROCA proc, LONG_PTR param);
BOOL EnumNames(HMODULE module, LPCSTR type, ENUMRESNAMEPROCA proc, LONG_PTR param);
BOOL EnumLanguages(HMODULE module, LPCSTR type, LPCSTR name, ENUMRESLANGPROCA proc, LONG_PTR param);
HRSRC Find(HMODULE module, LPCSTR type, LPCSTR name, WORD language);
HGLOBAL Load(HMODULE module, HRSRC resource);
const void* Lock(HGLOBAL data);
DWORD Size(HMODULE module, HRSRC resource);

}  // namespace orvex::res_module
