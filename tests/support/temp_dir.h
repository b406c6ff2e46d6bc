// A private temporary folder for one test, removed with everything in it at the end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvex::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // The path of `name` inside the folder.
  std::string File(std::string_view name) const;
  // Writes `bytes` to `name` inside the folder and returns the file's path.
  std::string Write(std::string_view name, const std::vector<uint8_t>& bytes) const;

 private:
  std::string path_;
};

}  // namespace orvex::test
