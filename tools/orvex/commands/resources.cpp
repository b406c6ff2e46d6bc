// `orvex resources FILE`: lists every resource straight from the module layer, one line
// each: type, name, language (hex) and size in bytes. The catalogue opens the file and
// hands over its module (HandleModule); the platform's enumeration walks it, since the
// objects do not tell languages apart. Numbers print as "#" and digits, the text form
// callers use to name numbered resources.
#include <cstdio>
#include <string>

#include "catalogue_client.h"
#include "commands/commands.h"
#include "platform/module/module.h"

namespace orvex::cli {

namespace {

std::string IdText(LPCSTR id) {
  if (IS_INTRESOURCE(id)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(id));
  return id;
}

BOOL PrintLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR) {
  HRSRC resource = FindResourceExA(module, type, name, language);
  std::printf("%-16s %-24s %04X %10u\n", IdText(type).c_str(), IdText(name).c_str(), language,
              SizeofResource(module, resource));
  return TRUE;
}

BOOL PrintName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param) {
  EnumResourceLanguagesA(module, type, name, PrintLanguage, param);
  return TRUE;
}

BOOL PrintType(HMODULE module, LPSTR type, LONG_PTR param) {
  EnumResourceNamesA(module, type, PrintName, param);
  return TRUE;
}

int ListResources(const std::string& file) {
  RegisterClasses();
  CatalogueClient client;
  client.Open(file);
  std::printf("%-16s %-24s %-4s %10s\n", "TYPE", "NAME", "LANG", "SIZE");
  EnumResourceTypesA(client.HandleModule(), PrintType, 0);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

void RegisterResourcesCommand(CLI::App& app, int& exitStatus) {
  CLI::App* command = app.add_subcommand(
      "resources", "List every resource with its language, straight from the module layer");
  auto file = std::make_shared<std::string>();
  command->add_option("FILE", *file, "The PE file (EXE, DLL, ...)")->required();
  command->callback([file, &exitStatus] { exitStatus = ListResources(*file); });
}

}  // namespace orvex::cli
