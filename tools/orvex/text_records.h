// The JSON record of one text resource of a module, read as the text commands read it (the
// platform's resource, menu and version functions on the module the catalogue opened, or
// the catalogue's member) and shaped by text_json.h: what `--json` prints and what a dump
// of a module writes.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "catalogue_client.h"
#include "resource_kinds.h"

namespace orvex::cli {

// The record of the resource `resName` ("#1", "MAINMENU") of the kind's type (string
// table, message table, menu or accelerator table); throws CliError when a menu cannot be
// loaded.
nlohmann::ordered_json TextRecordJson(CatalogueClient& client, const TextKind& kind,
                                      const std::u16string& resName);

// The version record of the module file `file` (GetFileVersionInfoA's buffer); throws
// CliError when it has none that can be read.
nlohmann::ordered_json VersionRecordJson(const std::string& file);

}  // namespace orvex::cli
