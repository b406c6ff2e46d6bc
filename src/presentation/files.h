// Files and the resource temporary folder: the naming rule of temporary files, the raw-byte
// file write and the file errors the save members report. The save members themselves
// (SaveText, SaveData, SaveResDataToFile, EmptyResourceTmpFolder) and ResourceTmpFileName
// are members of the catalogue class, defined in files.cpp.
#pragma once

#include <string>
#include <string_view>

#include "base/byte_reader.h"
#include "base/runtime_error.h"
#include "platform/ole/types.h"
#include "server/frame/file_error.h"

namespace orvex {

inline constexpr char kEmptyTmpFolderPrompt[] =
    "Are you sure you want to empty Resource Temporary Folder";
inline constexpr char kEmptyTmpFolderTitle[] = "Empty Retmpfld...";

// "C:\Retmpfld\" + filePartFileName + "_R" + resName from its second character on +
// ".wav". Neither part may lead out of the folder: path separators in them become "_".
std::u16string ResourceTmpFileNameFor(std::u16string_view filePartFileName,
                                      std::u16string_view resName);

// Creates or replaces the file at `path` (ANSI; drive-C paths through the drive mapping)
// with exactly `bytes`. The new content is written beside the file and renamed over it, so
// a failure leaves the old file as it was; a symbolic link at the path is replaced, never
// followed. Throws the file's run-time error (server/frame/file_error.h).
void WriteRawBytesFile(const std::string& path, Bytes bytes);

}  // namespace orvex
