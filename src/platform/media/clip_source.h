// Where clips come from: a file read whole into memory (never mapped, so a file changed
// or removed while it plays cannot pull bytes away), or an "AVI" resource of a module.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "base/expected.h"
#include "platform/win32_types.h"

namespace orvex {

// Clips larger than this are refused rather than read.
inline constexpr size_t kMaxClipBytes = size_t{256} * 1024 * 1024;

// The bytes of the file at `path` (a "C:\" path goes through MapPath). Fails for a missing
// file, a folder, or a file over kMaxClipBytes.
Expected<std::vector<std::byte>> ReadClipFile(std::string_view path);
// A copy of the resource `name` (text or integer id) of type "AVI" in `module`.
Expected<std::vector<std::byte>> ReadClipResource(HMODULE module, LPCSTR name);

}  // namespace orvex
