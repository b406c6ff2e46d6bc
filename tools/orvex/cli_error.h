// A failure the client reports to the user: one line on stderr ("orvex: " and the
// message) and a non-zero exit status. Thrown by the commands, caught once in main().
#pragma once

#include <stdexcept>
#include <string>

namespace orvex::cli {

class CliError : public std::runtime_error {
 public:
  explicit CliError(const std::string& message, int exitStatus = 1)
      : std::runtime_error(message), exitStatus_(exitStatus) {}
  int ExitStatus() const { return exitStatus_; }

 private:
  int exitStatus_;
};

}  // namespace orvex::cli
