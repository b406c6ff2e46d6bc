// Lines of the platform programs' output under Wine (tests/wine/*/expected*.txt): words of
// the form key=value, read into a map.
#pragma once

#include <map>
#include <sstream>
#include <string>

namespace orvex::test {

inline std::map<std::string, std::string> ExpectedFields(const std::string& line) {
  std::map<std::string, std::string> fields;
  std::istringstream words(line);
  std::string word;
  while (words >> word) {
    const size_t eq = word.find('=');
    if (eq != std::string::npos) fields[word.substr(0, eq)] = word.substr(eq + 1);
  }
  return fields;
}

}  // namespace orvex::test
