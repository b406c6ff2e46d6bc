// The table of loaded compiled resource files and the resource functions over them. Types,
// names and languages are ordered as a linker lays out a module's resource directory
// (names by their upper-case form, then numbers ascending; languages ascending), so a
// .res file lists as the module built from it does.
#include "platform/module/res_module.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "platform/module/language_preference.h"
#include "platform/module/low_scratch.h"
#include "platform/module/module_table.h"
#include "platform/module/res_file.h"
#include "platform/module/ui_language.h"
#include "platform/text/text.h"

namespace orvex::res_module {

namespace {

constexpr HMODULE kModuleTag = 0xFF000000u;
constexpr uint32_t kResourceTag = 0x80000000u;
constexpr uint32_t kMaxModules = 0xFFFF;
constexpr uint32_t kMaxResources = 0x7F000000u;

// What an identifier is looked up and ordered by: names in upper case, then numbers.
using SortKey = std::tuple<bool, std::u16string, uint16_t>;

SortKey KeyOf(const ResFileId& id) {
  if (!id.named) return {true, u"", id.number};
  std::u16string folded;
  folded.reserve(id.name.size());
  for (char16_t unit : id.name) folded.push_back(UpperCase(unit));
  return {false, std::move(folded), 0};
}

struct Language {
  WORD language;
  uint32_t record;
};
struct Name {
  ResFileId id;
  std::vector<Language> languages;
};
struct Type {
  ResFileId id;
  std::map<SortKey, Name> names;
};

struct ResModule {
  std::string path;
  std::vector<std::byte> file;
  std::vector<ResFileRecord> records;  // their data lies in `file`
  std::map<SortKey, Type> types;
};
using ModulePtr = std::shared_ptr<ResModule>;

struct Table : ModuleTable<ResModule> {
  Table() : ModuleTable({kModuleTag, kModuleTag, 0xFF, kMaxModules, kResourceTag, kMaxResources}) {}
};

Table& GetTable() {
  static Table* table = new Table;  // never destroyed: handles may be used during exit
  return *table;
}

ModulePtr Acquire(HMODULE handle) {
  Table& table = GetTable();
  std::lock_guard lock(table.mutex);
  ModulePtr module = table.Lookup(handle);
  if (!module) SetLastError(ERROR_INVALID_HANDLE);
  return module;
}

// An identifier as the functions take it: a number, "#digits" (up to 65535), or a name.
std::optional<SortKey> ParseKey(LPCSTR id) {
  if (IS_INTRESOURCE(id)) {
    ResFileId number;
    number.number = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(id));
    return KeyOf(number);
  }
  if (id[0] != '#') {
    ResFileId name;
    name.named = true;
    name.name = AnsiToUnicode(id);
    return KeyOf(name);
  }
  uint32_t value = 0;
  size_t digits = 0;
  for (const char* c = id + 1; *c != '\0'; ++c, ++digits) {
    if (*c < '0' || *c > '9' || digits >= 5) return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(*c - '0');
  }
  if (digits == 0 || value > 0xFFFF) return std::nullopt;
  ResFileId number;
  number.number = static_cast<uint16_t>(value);
  return KeyOf(number);
}

template <class Map>
const typename Map::mapped_type* FindIn(const Map& map, LPCSTR id, DWORD notFound) {
  const std::optional<SortKey> key = ParseKey(id);
  if (!key) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto it = map.find(*key);
  if (it == map.end()) {
    SetLastError(notFound);
    return nullptr;
  }
  return &it->second;
}

// The identifier handed to a callback: the number, or the name as ANSI text in low memory.
std::optional<LPSTR> CallbackId(const ResFileId& id, LowScratch& scratch) {
  if (!id.named) return const_cast<LPSTR>(MAKEINTRESOURCEA(id.number));
  char* text = scratch.Allocate(id.name.size() * 2 + 1);
  if (text == nullptr) return std::nullopt;
  text[UnicodeToAnsi(id.name, text)] = '\0';
  return text;
}

template <class Map, class Call>
BOOL Enumerate(const Map& map, Call&& call) {
  LowScratch& scratch = LowScratch::ForThread();
  LowScratchFrame frame(scratch);
  for (const auto& [key, entry] : map) {
    frame.Reset();
    std::optional<LPSTR> id = CallbackId(entry.id, scratch);
    if (!id) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return FALSE;
    }
    if (!call(*id)) {
      SetLastError(ERROR_RESOURCE_ENUM_USER_STOP);
      return FALSE;
    }
  }
  return TRUE;
}

// The bytes of a compiled resource file; nothing for any other file, which is told by its
// first bytes alone (a module is not read whole here).
std::optional<std::vector<std::byte>> ReadResFile(LPCSTR path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  // Files of 4 GB and more are left to the loader, which refuses them.
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > 0xFFFFFFFFu) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::byte> bytes(16);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.gcount() != static_cast<std::streamsize>(bytes.size()) || !IsResFile(bytes))
    return std::nullopt;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    const auto* begin = reinterpret_cast<const std::byte*>(buffer);
    bytes.insert(bytes.end(), begin, begin + in.gcount());
    if (!in) break;
  }
  return bytes;
}

// The record a resource handle stands for, with its module kept alive.
struct FoundRecord {
  ModulePtr module;
  const ResFileRecord* record = nullptr;
};

std::optional<FoundRecord> Resolve(uint32_t handle, std::optional<HMODULE> expected) {
  if (!IsResource(handle)) return std::nullopt;
  Table& table = GetTable();
  std::lock_guard lock(table.mutex);
  const auto resource = table.Resource(handle);
  if (!resource || (expected && *expected != resource->module)) return std::nullopt;
  ModulePtr module = table.Lookup(resource->module);
  if (!module) return std::nullopt;
  const ResFileRecord* record = &module->records[resource->entry];
  return FoundRecord{std::move(module), record};
}

}  // namespace

bool IsModule(HMODULE module) {
  return (module & kModuleTag) == kModuleTag;
}

bool IsResource(uint32_t handle) {
  return (handle & kResourceTag) != 0 && !IsModule(handle);
}

std::optional<HMODULE> Load(LPCSTR path) {
  if (path == nullptr || *path == '\0') return std::nullopt;
  std::optional<std::vector<std::byte>> file = ReadResFile(path);
  if (!file) return std::nullopt;
  auto module = std::make_shared<ResModule>();
  module->file = std::move(*file);
  auto records = ParseResFile(module->file);
  if (!records) {
    SetLastError(ERROR_BAD_EXE_FORMAT);
    return 0;
  }
  module->records = std::move(*records);
  for (uint32_t i = 0; i < module->records.size(); ++i) {
    const ResFileRecord& record = module->records[i];
    Type& type = module->types[KeyOf(record.type)];
    if (type.names.empty()) type.id = record.type;
    Name& name = type.names[KeyOf(record.name)];
    if (name.languages.empty()) name.id = record.name;
    auto at = std::lower_bound(
        name.languages.begin(), name.languages.end(), record.language,
        [](const Language& language, WORD value) { return language.language < value; });
    // A second record of one type, name and language is left out, as a linker refuses it.
    if (at == name.languages.end() || at->language != record.language)
      name.languages.insert(at, Language{record.language, i});
  }
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  module->path = absolute.empty() ? std::string(path) : absolute.lexically_normal().string();

  Table& table = GetTable();
  std::lock_guard lock(table.mutex);
  const HMODULE handle = table.Add(std::move(module));
  if (handle == 0) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

BOOL Free(HMODULE module) {
  ModulePtr released;  // dropped after the lock
  Table& table = GetTable();
  std::lock_guard lock(table.mutex);
  released = table.Remove(module);
  if (!released) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

DWORD GetFileName(HMODULE module, LPSTR buffer, DWORD size) {
  ModulePtr loaded = Acquire(module);
  if (!loaded) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  if (size == 0 || buffer == nullptr) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  const std::string& path = loaded->path;
  if (path.size() >= size) {
    std::memcpy(buffer, path.data(), size - 1);
    buffer[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}

BOOL EnumTypes(HMODULE module, ENUMRESTYPEPROCA proc, LONG_PTR param) {
  if (proc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ModulePtr loaded = Acquire(module);
  if (!loaded) return FALSE;
  if (loaded->types.empty()) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return FALSE;
  }
  return Enumerate(loaded->types, [&](LPSTR id) { return proc(module, id, param) != FALSE; });
}

BOOL EnumNames(HMODULE module, LPCSTR type, ENUMRESNAMEPROCA proc, LONG_PTR param) {
  if (proc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ModulePtr loaded = Acquire(module);
  if (!loaded) return FALSE;
  const Type* found = FindIn(loaded->types, type, ERROR_RESOURCE_TYPE_NOT_FOUND);
  if (found == nullptr) return FALSE;
  return Enumerate(found->names, [&](LPSTR id) { return proc(module, type, id, param) != FALSE; });
}

BOOL EnumLanguages(HMODULE module, LPCSTR type, LPCSTR name, ENUMRESLANGPROCA proc,
                   LONG_PTR param) {
  if (proc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ModulePtr loaded = Acquire(module);
  if (!loaded) return FALSE;
  const Type* foundType = FindIn(loaded->types, type, ERROR_RESOURCE_TYPE_NOT_FOUND);
  if (foundType == nullptr) return FALSE;
  const Name* foundName = FindIn(foundType->names, name, ERROR_RESOURCE_NAME_NOT_FOUND);
  if (foundName == nullptr) return FALSE;
  for (const Language& language : foundName->languages) {
    if (proc(module, type, name, language.language, param) == FALSE) {
      SetLastError(ERROR_RESOURCE_ENUM_USER_STOP);
      return FALSE;
    }
  }
  return TRUE;
}

HRSRC Find(HMODULE module, LPCSTR type, LPCSTR name, WORD language) {
  ModulePtr loaded = Acquire(module);
  if (!loaded) return 0;
  const Type* foundType = FindIn(loaded->types, type, ERROR_RESOURCE_TYPE_NOT_FOUND);
  if (foundType == nullptr) return 0;
  const Name* foundName = FindIn(foundType->names, name, ERROR_RESOURCE_NAME_NOT_FOUND);
  if (foundName == nullptr) return 0;
  const auto& languages = foundName->languages;
  const Language* chosen = nullptr;
  auto withLanguage = [&](WORD wanted) -> const Language* {
    for (const Language& entry : languages)
      if (entry.language == wanted) return &entry;
    return nullptr;
  };
  if (language != 0) {
    chosen = withLanguage(language);
  } else {
    for (const WORD preferred : PreferredResourceLanguages(GetThreadUILanguage())) {
      if ((chosen = withLanguage(preferred)) != nullptr) break;
    }
    if (chosen == nullptr && !languages.empty()) chosen = &languages.front();
  }
  if (chosen == nullptr) {
    SetLastError(ERROR_RESOURCE_LANG_NOT_FOUND);
    return 0;
  }

  Table& table = GetTable();
  std::lock_guard lock(table.mutex);
  if (table.Lookup(module) != loaded) {  // freed meanwhile
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const uint32_t handle = table.ResourceHandle(module, chosen->record);
  if (handle == 0) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

HGLOBAL Load(HMODULE module, HRSRC resource) {
  auto found = Resolve(resource, module);
  if (!found) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!found->record->inFile) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return 0;
  }
  return resource;
}

const void* Lock(HGLOBAL data) {
  auto found = Resolve(data, std::nullopt);
  if (!found || !found->record->inFile) return nullptr;
  return found->record->data.data();
}

DWORD Size(HMODULE module, HRSRC resource) {
  auto found = Resolve(resource, module);
  if (!found) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return found->record->inFile ? found->record->size : 0;
}

}  // namespace orvex::res_module
