// The web viewer's API, free of the HTTP library: each request's parameters in, a status,
// a content type and a body out. Paths are relative to the served folder and never leave it.
//
//   files    dir=REL                          the entries of a folder (PE files marked)
//   list     file=REL                         the catalogue, as `orvex list --json`, with
//                                            each item's stored languages ("languages")
//   resource file=REL type=T name=N as=KIND   one resource: text, hex, png, stored (a
//                                            picture in its own colours), svg, raw,
//                                            frames (an AVI clip's frames as PNG data URLs)
//                                            or wav (a sound as 16-bit PCM);
//            [offset=O length=L] with raw      a slice of the bytes (the hex view's pages)
//   [lang=L] with list and resource           the UI language the request reads in ("0407",
//                                            "de-DE"), set on the serving thread for that
//                                            request only
//
// Status: 200, 400 for a bad or missing parameter (TYPE, NAME, KIND, LANG, a negative offset,
// a NUL character), 403 for a path that leaves the folder, 404 for what does not exist, 415 for
// a file that is no PE module (or a resource that is no clip or sound this viewer plays), 422
// for a resource whose data lies beyond the end of the file, 500 when the library cannot
// render what exists.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "web/path_jail.h"

namespace orvex::cli {

struct ApiResponse {
  int status = 200;
  std::string contentType = "application/json";
  std::string body;
  std::string downloadName;  // set for attachments (raw bytes, icon files)
};

using ApiParams = std::map<std::string, std::string>;

class WebApi {
 public:
  explicit WebApi(const std::filesystem::path& root);

  ApiResponse Files(const ApiParams& params) const;
  // Calls reach the library through the catalogue of the calling thread.
  ApiResponse List(const ApiParams& params) const;
  ApiResponse Resource(const ApiParams& params) const;

  const std::filesystem::path& root() const { return root_; }

 private:
  std::filesystem::path root_;
};

// A JSON error body {"error": message} with its status.
ApiResponse ApiError(int status, const std::string& message);

}  // namespace orvex::cli
