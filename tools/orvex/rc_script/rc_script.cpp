#include "rc_script/rc_script.h"

#include <algorithm>

#include "platform/text/text.h"
#include "rc_script/rc_statements.h"
#include "type_names.h"

namespace orvex::rc {

namespace {

// The statement keyword for a file reference to a numbered type; numbers for the rest
// (the keyword statements for icons, cursors and fonts would make and renumber entries of
// their own).
std::string FileTypeToken(const Id& type, bool& bitmap) {
  bitmap = false;
  if (type.named) return *TypeToken(type);
  switch (type.number) {
    case 2:
      bitmap = true;
      return "BITMAP";
    case 10:
      return "RCDATA";
    case 11:
      return "MESSAGETABLE";
    case 23:
      return "HTML";
    default:
      return std::to_string(type.number);
  }
}

std::string QuotePath(const std::string& path) {
  return "\"" + path + "\"";
}

}  // namespace

std::string TypeLabel(const Id& type) {
  if (type.named) return Utf16ToUtf8(type.name);
  if (const char* name = cli::StandardTypeName(type.number)) return name;
  return "#" + std::to_string(type.number);
}

std::string WriteScript(const std::vector<Resource>& resources, const FileFor& fileFor,
                        Tally& tally) {
  std::vector<const Resource*> ordered;
  ordered.reserve(resources.size());
  for (const Resource& resource : resources) ordered.push_back(&resource);
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const Resource* a, const Resource* b) { return a->language < b->language; });
  std::string out =
      "// Resource script written by orvex dump; compile with a resource compiler from this\n"
      "// folder.\n#pragma code_page(65001)\n";
  std::optional<uint16_t> language;
  for (const Resource* resource : ordered) {
    const std::string label = TypeLabel(resource->type);
    const std::string what =
        label + " " + IdText(resource->name) + " (language " + Hex(resource->language) + ")";
    const std::optional<std::string> typeToken = TypeToken(resource->type);
    const std::optional<std::string> nameToken = NameToken(resource->name);
    if (!typeToken || !nameToken) {
      tally.omitted.push_back(what + ": the compiler stores " +
                              (typeToken ? "names" : "type names") +
                              " in upper case and this one cannot be written as stored");
      out += "// left out: " + what + "\n";
      continue;
    }
    // A quoted name after a statement ending in a quoted file would join that text: a
    // LANGUAGE statement in between keeps them apart.
    if (language != resource->language || (*nameToken)[0] == '"') {
      out += LanguageStatement(resource->language) + "\n";
      language = resource->language;
    }
    Expected<std::string> statement = Error{""};
    const bool textKind =
        !resource->type.named &&
        (resource->type.number == 4 || resource->type.number == 5 || resource->type.number == 6 ||
         resource->type.number == 9 || resource->type.number == 16);
    if (textKind) {
      switch (resource->type.number) {
        case 4:
          statement = MenuStatement(*nameToken, resource->data);
          break;
        case 5:
          statement = DialogStatement(*nameToken, resource->data);
          break;
        case 6:
          statement = resource->name.named
                          ? Expected<std::string>(Error{"a named string block"})
                          : StringTableStatement(resource->data, resource->name.number);
          break;
        case 9:
          statement = AcceleratorsStatement(*nameToken, resource->data);
          break;
        case 16:
          statement = VersionStatement(*nameToken, resource->data);
          break;
        default:
          break;
      }
      if (statement) {
        ++tally.text[label];
        out += *statement;
        continue;
      }
      tally.exceptions.push_back(what + ": " + statement.GetError().message);
    }
    bool bitmap = false;
    const std::string keyword = FileTypeToken(resource->type, bitmap);
    ++tally.file[label];
    out += *nameToken + " " + keyword + " " + QuotePath(fileFor(*resource, bitmap)) + "\n";
  }
  return out;
}

}  // namespace orvex::rc
