// Base64 of bytes, for the data URLs the viewer's answers carry.
#pragma once

#include <string>

namespace orvex::cli {

std::string Base64(const std::string& bytes);

}  // namespace orvex::cli
