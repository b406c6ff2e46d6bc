// The module `orvex list` opens when no FILE is named: the sample module that the build
// writes to <build>/sample/sample.dll, found beside this program's build folder (the build
// tree may be moved as a whole) or at the path it was built for.
#pragma once

#include <string>

namespace orvex::cli {

// The sample module's path; throws CliError when it is missing.
std::string DefaultModulePath();

}  // namespace orvex::cli
