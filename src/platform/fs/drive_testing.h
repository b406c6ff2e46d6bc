// Seams for test and benchmark programs only; the shipped libraries do not export them.
#pragma once

#include <string>

namespace orvex {

// Replaces the drive folder for this process; an empty path restores the default (the
// ORVEX_DRIVE_C variable, then the per-user folder).
void SetDriveRootForTesting(std::string path);

}  // namespace orvex
