// The web viewer's page (HTML, CSS and JavaScript from tools/orvex/web/page), embedded in
// the binary when it is built.
#pragma once

#include <cstddef>
#include <string_view>

namespace orvex::cli {

struct PageFile {
  std::string_view path;  // "/index.html"
  std::string_view contentType;
  std::string_view bytes;
};

// The files, ending with an entry whose path is empty.
extern const PageFile kPageFiles[];

}  // namespace orvex::cli
