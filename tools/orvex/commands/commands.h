// The subcommands of the orvex client. Each adds itself to the application with its
// options and a callback; the callback sets the exit status through the reference given
// and throws CliError for failures the user must hear about.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace orvex::cli {

// `orvex list [FILE] [--json]`: the catalogue of types and items (the sample module when no
// FILE is named).
void RegisterListCommand(CLI::App& app, int& exitStatus);
// `orvex hex|html|data FILE TYPE NAME`: one resource as a hex dump, as text, or as bytes.
void RegisterReadCommands(CLI::App& app, int& exitStatus);
// `orvex scan PATH...`: one JSON line per file under the paths, on several threads.
void RegisterScanCommand(CLI::App& app, int& exitStatus);
// `orvex resources FILE`: every resource with its language, straight from the module layer.
void RegisterResourcesCommand(CLI::App& app, int& exitStatus);

// `orvex save FILE TYPE NAME OUT`: a resource's bytes saved to a file (SaveResDataToFile).
void RegisterSaveCommand(CLI::App& app, int& exitStatus);
// `orvex tmp [--empty [--yes]]`: the resource temporary folder, shown or emptied.
void RegisterTmpCommand(CLI::App& app, int& exitStatus);
// `orvex about [--box]`: the library's name and version.
void RegisterAboutCommand(CLI::App& app, int& exitStatus);
// The library's name and version from its application object ("Orvex10 1.0.0"), for
// `orvex --version`.
std::string LibraryVersion();

// `orvex string|messages|menu|accel FILE [NAME] [--raw]`: one resource's text through the
// catalogue's text members, or every resource of that kind under a heading line each.
void RegisterStringCommand(CLI::App& app, int& exitStatus);
void RegisterMessagesCommand(CLI::App& app, int& exitStatus);
void RegisterMenuCommand(CLI::App& app, int& exitStatus);
void RegisterAccelCommand(CLI::App& app, int& exitStatus);
// `orvex version [FILE] [--raw]`: the version strings (the sample module when no FILE).
void RegisterVersionCommand(CLI::App& app, int& exitStatus);

// `orvex picture FILE TYPE NAME [-o OUT.png] [--ext]`: a picture object described (JSON)
// and written as PNG.
void RegisterPictureCommand(CLI::App& app, int& exitStatus);
// `orvex show FILE TYPE NAME -o OUT.png`: ShowPicture into a host-kit picture box, captured.
void RegisterShowCommand(CLI::App& app, int& exitStatus);
// `orvex icons FILE -o DIR`: every group icon and cursor as .ico/.cur, and each entry as PNG.
void RegisterIconsCommand(CLI::App& app, int& exitStatus);
// `orvex dump FILE -o DIR [--lang all|ID] [--no-rc]`: every resource as files, an index and
// a resource script.
void RegisterDumpCommand(CLI::App& app, int& exitStatus);
// `orvex dialog FILE NAME [--json] [-o OUT] [--with-host]` and `orvex dialogs FILE -o DIR`:
// dialogs previewed by ShowDialog in a host-kit form, described and captured; classes nobody
// registered drawn as placeholders unless `--no-placeholders`.
void RegisterDialogCommands(CLI::App& app, int& exitStatus);
// `orvex serve [PATH] [--port N] [--bind ADDR]`: the web viewer and its API. It runs in its
// own program, orvex-serve beside orvex, so that the HTTP library's dependencies cost the
// other commands nothing at start-up: `orvex serve ARGS` executes `orvex-serve ARGS`.
void RegisterServeForwarder(CLI::App& app, const char* self);
// The options and callback of the server, on orvex-serve's own top-level command.
void AddServeOptions(CLI::App& app, int& exitStatus);
// `orvex avi FILE NAME -o OUT.gif|DIR/ [--show]`: a clip played by PlayAVI (or ShowAVI) in a
// host form, its frames written; `orvex play FILE NAME [--to OUT.wav]`: PlayWAV, waiting
// until the sound device is idle.
void RegisterMediaCommands(CLI::App& app, int& exitStatus);

}  // namespace orvex::cli
