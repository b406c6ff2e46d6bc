#include "commands/dump_index.h"

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

#include "base/xml_text.h"
#include "cli_error.h"

namespace orvex::cli {

namespace {

bool IsImage(const std::string& file) {
  return file.ends_with(".png") || file.ends_with(".svg") || file.ends_with(".gif");
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  if (!file.flush()) throw CliError("cannot write " + path.string());
}

}  // namespace

void WriteIndex(const std::filesystem::path& root, const std::vector<IndexEntry>& entries,
                const rc::Tally* tally) {
  nlohmann::ordered_json json;
  json["resources"] = nlohmann::ordered_json::array();
  for (const IndexEntry& entry : entries) {
    nlohmann::ordered_json item;
    item["type"] = entry.type;
    item["name"] = entry.name;
    item["language"] = entry.language;
    item["size"] = entry.size;
    item["files"] = entry.files;
    if (!entry.error.empty()) item["error"] = entry.error;
    json["resources"].push_back(std::move(item));
  }
  if (tally != nullptr) {
    nlohmann::ordered_json script;
    script["file"] = "resources.rc";
    script["text"] = tally->text;
    script["file_references"] = tally->file;
    script["exceptions"] = tally->exceptions;
    script["left_out"] = tally->omitted;
    json["script"] = std::move(script);
  }
  WriteText(root / "index.json", json.dump(1) + "\n");

  std::string html =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Resources</title>\n"
      "<style>body{font-family:sans-serif}td{padding:2px 8px;vertical-align:top}"
      "img{max-height:64px;max-width:128px;image-rendering:pixelated}</style></head><body>\n"
      "<h1>Resources</h1>\n";
  if (tally != nullptr) html += "<p><a href=\"resources.rc\">resources.rc</a></p>\n";
  html +=
      "<table>\n<tr><th>Type</th><th>Name</th><th>Language</th><th>Size</th><th>Files</th>"
      "</tr>\n";
  for (const IndexEntry& entry : entries) {
    char language[8];
    std::snprintf(language, sizeof language, "%04X", entry.language);
    html += "<tr><td>" + XmlEscaped(entry.type) + "</td><td>" + XmlEscaped(entry.name) +
            "</td><td>" + language + "</td><td>" + std::to_string(entry.size) + "</td><td>";
    for (const std::string& file : entry.files) {
      if (IsImage(file)) html += "<img src=\"" + XmlEscaped(file) + "\" alt=\"\"> ";
      html += "<a href=\"" + XmlEscaped(file) + "\">" + XmlEscaped(file) + "</a> ";
    }
    if (!entry.error.empty()) html += "<em>" + XmlEscaped(entry.error) + "</em>";
    html += "</td></tr>\n";
  }
  html += "</table>\n</body></html>\n";
  WriteText(root / "index.html", html);
}

}  // namespace orvex::cli
