// `orvex serve [PATH] [--port N] [--bind ADDR]`: the web viewer. One page (embedded) and the
// API of web/web_api.h over the folder PATH, on 127.0.0.1 unless told otherwise.
#include <httplib.h>

#include <cstdio>
#include <memory>
#include <string>

#include "cli_error.h"
#include "commands/commands.h"
#include "commands/serve_options.h"
#include "web/page_files.h"
#include "web/web_api.h"

namespace orvex::cli {
namespace {

// Requests are small: a query string; bodies are refused.
constexpr size_t kMaxRequestBody = 4096;

void Send(httplib::Response& res, const ApiResponse& api) {
  res.status = api.status;
  res.set_content(api.body, api.contentType.c_str());
  if (!api.downloadName.empty())
    res.set_header("Content-Disposition", "attachment; filename=\"" + api.downloadName + "\"");
  res.set_header("Cache-Control", "no-store");
  res.set_header("X-Content-Type-Options", "nosniff");
}

ApiParams ParamsOf(const httplib::Request& req) {
  ApiParams params;
  for (const auto& [key, value] : req.params) params[key] = value;
  return params;
}

int Serve(const ServeArguments& arguments) {
  std::error_code error;
  if (!std::filesystem::is_directory(arguments.path, error))
    throw CliError("not a folder: " + arguments.path);
  if (arguments.port < 0 || arguments.port > 65535) throw CliError("bad port");
  WebApi api(arguments.path);
  httplib::Server server;
  server.set_payload_max_length(kMaxRequestBody);
  for (const PageFile* file = kPageFiles; !file->path.empty(); ++file) {
    const auto handler = [file](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string(file->bytes), std::string(file->contentType).c_str());
    };
    server.Get(std::string(file->path), handler);
    if (file->path == "/index.html") server.Get("/", handler);
  }
  server.Get("/api/files", [&api](const httplib::Request& req, httplib::Response& res) {
    Send(res, api.Files(ParamsOf(req)));
  });
  server.Get("/api/list", [&api](const httplib::Request& req, httplib::Response& res) {
    Send(res, api.List(ParamsOf(req)));
  });
  server.Get("/api/resource", [&api](const httplib::Request& req, httplib::Response& res) {
    Send(res, api.Resource(ParamsOf(req)));
  });
  server.set_exception_handler(
      [](const httplib::Request&, httplib::Response& res, const std::exception_ptr&) {
        Send(res, ApiError(500, "internal error"));
      });
  const int port =
      arguments.port == 0
          ? server.bind_to_any_port(arguments.bind)
          : (server.bind_to_port(arguments.bind, arguments.port) ? arguments.port : -1);
  if (port < 0)
    throw CliError("cannot listen on " + arguments.bind + ":" + std::to_string(arguments.port));
  std::printf("orvex: serving %s at http://%s:%d/\n", api.root().string().c_str(),
              arguments.bind.c_str(), port);
  std::fflush(stdout);
  return server.listen_after_bind() ? 0 : 1;
}

}  // namespace

void AddServeOptions(CLI::App& app, int& exitStatus) {
  auto arguments = std::make_shared<ServeArguments>();
  DeclareServeOptions(app, *arguments);
  app.callback([arguments, &exitStatus] { exitStatus = Serve(*arguments); });
}

}  // namespace orvex::cli
