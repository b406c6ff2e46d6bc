// The lines Wine's dialog programs print for one dialog (tests/wine/dialogs/*.txt): those
// after the heading "== LABEL..." up to the next heading, line ends trimmed.
#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace orvex::test {

inline std::vector<std::string> WineDialogLines(const std::string& file, const std::string& label) {
  std::ifstream in(std::string(ORVEX_SOURCE_DIR "/tests/wine/dialogs/") + file);
  std::vector<std::string> lines;
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("== ", 0) == 0) {
      inside = line.rfind("== " + label, 0) == 0;
      continue;
    }
    if (inside) lines.push_back(line);
  }
  return lines;
}

}  // namespace orvex::test
