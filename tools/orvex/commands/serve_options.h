// The arguments of the web viewer's server, declared once: for orvex-serve, which runs with
// them, and for orvex, whose completion scripts and manual page describe them.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace orvex::cli {

struct ServeArguments {
  std::string path = ".";
  int port = 8080;
  std::string bind = "127.0.0.1";
};

void DeclareServeOptions(CLI::App& app, ServeArguments& arguments);

}  // namespace orvex::cli
