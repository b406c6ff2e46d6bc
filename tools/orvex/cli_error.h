// A failure the client reports to the user: one line on stderr ("orvex: " and the
// message) and a non-zero exit status (1 unless given). Thrown by the commands, caught once
// in main().
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

// A command line the command cannot act on (an output file it cannot write, ...): the
// message, the command's usage, and exit status 2, like the usage errors of the parser.
class UsageError : public CliError {
 public:
  explicit UsageError(const std::string& message) : CliError(message, 2) {}
};

}  // namespace orvex::cli
