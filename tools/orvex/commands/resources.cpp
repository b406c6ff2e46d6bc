// `orvex resources FILE`: lists every resource straight from the module layer, one line
// each: type, name, language (hex) and size in bytes. Numbers print as "#" and digits,
// the text form callers use to name numbered resources.
#include <cstdio>
#include <string>

#include "commands/commands.h"
#include "platform/fs/fs.h"
#include "platform/module/module.h"

namespace orvex::cli {

namespace {

std::string IdText(LPCSTR id) {
  if (IS_INTRESOURCE(id)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(id));
  return id;
}

std::string LoadFailure(DWORD error) {
  switch (error) {
    case ERROR_MOD_NOT_FOUND:
      return "no such file";
    case ERROR_ACCESS_DENIED:
      return "cannot read it (a folder, or no permission)";
    case ERROR_BAD_EXE_FORMAT:
      return "not a PE module (EXE, DLL or other PE file)";
    default:
      return "error " + std::to_string(error);
  }
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
  const auto mapped = MapPath(file);  // drive C paths as the other commands take them
  if (!mapped) {
    std::fprintf(stderr, "orvex: cannot load %s: %s\n", file.c_str(),
                 mapped.GetError().message.c_str());
    return 1;
  }
  HMODULE module = LoadLibraryExA(mapped->c_str(), 0, 0);
  if (module == 0) {
    std::fprintf(stderr, "orvex: cannot load %s: %s\n", file.c_str(),
                 LoadFailure(GetLastError()).c_str());
    return 1;
  }
  std::printf("%-16s %-24s %-4s %10s\n", "TYPE", "NAME", "LANG", "SIZE");
  EnumResourceTypesA(module, PrintType, 0);
  FreeLibrary(module);
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
