#include "run_cli.h"

#include <cstdio>
#include <stdexcept>

#include "base/runtime_error.h"
#include "cli_error.h"

namespace orvex::cli {

int RunCli(CLI::App& app, int argc, char** argv, int& exitStatus) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error);
  } catch (const CliError& error) {
    std::fprintf(stderr, "orvex: %s\n", error.what());
    return error.ExitStatus();
  } catch (const RuntimeError& error) {
    // A member's error: the library's number, description and source.
    std::fprintf(stderr, "orvex: %s%serror %d: %s\n", error.Source().c_str(),
                 error.Source().empty() ? "" : ": ", error.Number(), error.Description().c_str());
    return 1;
  } catch (const std::runtime_error& error) {
    // A host helper's failure (an image that cannot be read back or written).
    std::fprintf(stderr, "orvex: %s\n", error.what());
    return 1;
  }
  return exitStatus;
}

}  // namespace orvex::cli
