// Shared set-up of the frame's tests: the library's classes registered in-process, the
// drive folder and the registry file in a private temporary folder (also for the copies
// of the runtime inside shared libraries the tests load, through the environment).
#pragma once

#include <string>

namespace orvex::test {

// The registry file of this test process (empty until a test writes it).
const std::string& TestRegistryPath();

}  // namespace orvex::test
