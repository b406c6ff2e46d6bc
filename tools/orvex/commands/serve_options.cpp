#include "commands/serve_options.h"

namespace orvex::cli {

void DeclareServeOptions(CLI::App& app, ServeArguments& arguments) {
  app.add_option("PATH", arguments.path, "The folder to serve (default: the current one)");
  app.add_option("--port", arguments.port, "The port (default 8080; 0 picks a free one)");
  app.add_option("--bind", arguments.bind, "The address to listen on (default 127.0.0.1)");
}

}  // namespace orvex::cli
