// Scratch files of the viewer's server, one per thread and extension in a folder of this
// process.
#include "web/scratch_file.h"

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

namespace orvex::cli {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A temporary file name for one capture of this thread.
std::string ScratchFile(const char* extension) {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("orvex-serve-" + std::to_string(getpid()));
    fs::create_directories(d);
    return d;
  }();
  thread_local const std::string name =
      std::to_string(std::hash<std::thread::id>()(std::this_thread::get_id()));
  return (dir / (name + extension)).string();
}

}  // namespace orvex::cli
