// Scratch files of the viewer's server: captures and encoders write to a file, which the
// request reads back into its answer.
#pragma once

#include <string>

namespace orvex::cli {

// A temporary file name for one capture of this thread (in a folder of this process).
std::string ScratchFile(const char* extension);

std::string ReadFile(const std::string& path);

}  // namespace orvex::cli
