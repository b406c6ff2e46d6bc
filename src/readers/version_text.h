// GetVersionInfo's rendering: eight version strings of a module file, in a fixed order.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/step_runner.h"

namespace orvex {

// The keys, in the order they are rendered.
inline constexpr const char* kVersionKeys[] = {
    "OriginalFilename", "InternalName",   "FileVersion", "FileDescription",
    "ProductName",      "ProductVersion", "CompanyName", "LegalCopyright",
};

// Renders, from a buffer that GetFileVersionInfoA filled (empty when it could not be made),
// the values of the first translation: for each key with a non-empty value, the key, ":",
// CR LF, TAB, the value, CR LF. Reported steps (Err::SubscriptOutOfRange each): querying the
// translation when the buffer is empty or holds no whole language and code-page pair (the keys are
// then queried under the key of the first string table, whatever its language), and each key's
// query on an empty buffer. A key the buffer does not hold adds nothing and is not reported.
std::u16string RenderVersionInfo(const std::vector<std::byte>& versionBlock, StepRunner& steps);

// GetVersionInfo after the module's path is known: `fileName` is GetModuleFileNameA's path
// for ThreadModuleHandle (ANSI, cut at its first NUL). Reads the file's version information
// (making the buffer and reading into it fail with Err::SubscriptOutOfRange when the file has none)
// and renders it with RenderVersionInfo.
std::u16string GetVersionInfo(const std::string& fileName, StepRunner& steps);

}  // namespace orvex
