// Text for XML and HTML documents (element text and double-quoted attributes): &, <, > and "
// as entities; control characters other than tab left out (XML 1.0 allows none but tab and
// line ends, and a line end inside one text or name means nothing to a reader).
#pragma once

#include <string>
#include <string_view>

namespace orvex {

inline std::string XmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out.push_back(c);
    }
  }
  return out;
}

}  // namespace orvex
