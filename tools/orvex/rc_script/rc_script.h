// A resource script (.rc) of a module's resources in the resource compiler's syntax: the
// texts as statements, everything else as references to the files a dump writes. Where the
// compiler could not give a text resource back byte for byte, the script refers to its
// bytes as a file instead (the exception, tallied with its reason).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/byte_reader.h"
#include "rc_script/rc_text.h"

namespace orvex::rc {

struct Resource {
  Id type;
  Id name;
  uint16_t language = 0;
  Bytes data;
};

// What the script made of each type ("DIALOG", "#240", "AVI"): how many as text, how many
// as file references, and why each text kind went to a file, or why a resource is left out
// (a name the compiler cannot give back).
struct Tally {
  std::map<std::string, size_t> text;
  std::map<std::string, size_t> file;
  std::vector<std::string> exceptions;
  std::vector<std::string> omitted;
};

// The file a resource's bytes are written to for a reference, relative to the script; the
// host writes it. `bitmapFile` true asks for the bitmap with its file header (the BITMAP
// statement takes a .bmp file), false for the bytes as stored.
using FileFor = std::function<std::string(const Resource& resource, bool bitmapFile)>;

std::string WriteScript(const std::vector<Resource>& resources, const FileFor& fileFor,
                        Tally& tally);

// The tally's key for a type: the standard name of a numbered type, else "#n" or the name.
std::string TypeLabel(const Id& type);

}  // namespace orvex::rc
