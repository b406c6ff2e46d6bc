#include "default_module.h"

#include <filesystem>
#include <system_error>

#include "cli_error.h"

namespace orvex::cli {

std::string DefaultModulePath() {
  namespace fs = std::filesystem;
  std::error_code error;
  // <build>/tools/orvex/orvex -> <build>/sample/sample.dll
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (!error) {
    const fs::path beside = self.parent_path().parent_path().parent_path() / "sample/sample.dll";
    if (fs::is_regular_file(beside, error)) return beside.string();
  }
  if (fs::is_regular_file(ORVEX_SAMPLE_MODULE, error)) return ORVEX_SAMPLE_MODULE;
  throw CliError(std::string("no FILE named and the sample module ") + ORVEX_SAMPLE_MODULE +
                 " is missing (build the target orvex_sample_module, or name a FILE)");
}

}  // namespace orvex::cli
