// The resource temporary folder "C:\Retmpfld\" (through the drive mapping).
#pragma once

namespace orvex {

inline constexpr char kResourceTmpFolder[] = "C:\\Retmpfld\\";

// Asks the platform to create the folder; every failure (an existing folder included) is
// ignored without a report.
void CreateResourceTmpFolder();

}  // namespace orvex
