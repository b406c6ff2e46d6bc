// The resource temporary folder "C:\Retmpfld\" (through the drive mapping).
#pragma once

#include <mutex>
#include <string>

namespace orvex {

inline constexpr char kResourceTmpFolder[] = "C:\\Retmpfld\\";

// Asks the platform to create the folder; every failure (an existing folder included) is
// ignored without a report.
void CreateResourceTmpFolder();

// Holds the lock of one temporary path while a member writes the file and the platform
// loads it, so two threads that name the same path (same module file name and resource
// name) never load each other's bytes. Paths share a small set of locks by hash.
std::unique_lock<std::mutex> LockTmpFile(const std::string& path);

}  // namespace orvex
