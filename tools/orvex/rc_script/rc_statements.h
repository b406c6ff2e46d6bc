// The resource kinds a script writes as text. Each writer reads the stored bytes through
// the library's parser of that kind, writes the statement, and checks that the compiler
// gives back the stored bytes from it (by encoding the statement as the compiler does);
// where it would not, the writer fails with the reason, and the script refers to the
// resource's bytes as a file instead.
#pragma once

#include <cstdint>
#include <string>

#include "base/byte_reader.h"
#include "base/expected.h"

namespace orvex::rc {

// A whole STRINGTABLE statement for block `block` (identifiers (block-1)*16 ...).
Expected<std::string> StringTableStatement(Bytes data, uint16_t block);
// "NAME ACCELERATORS ... END", "NAME MENU ...", "NAME DIALOGEX ...", "NAME VERSIONINFO ..."
// with `name` the name's token.
Expected<std::string> AcceleratorsStatement(const std::string& name, Bytes data);
Expected<std::string> MenuStatement(const std::string& name, Bytes data);
Expected<std::string> DialogStatement(const std::string& name, Bytes data);
Expected<std::string> VersionStatement(const std::string& name, Bytes data);

}  // namespace orvex::rc
