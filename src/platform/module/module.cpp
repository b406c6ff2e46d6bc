// The module and resource functions over mapped PE files. One process-wide table maps
// 32-bit module handles to loaded modules and 32-bit resource handles to data entries;
// the work itself (tree walks, lookups) runs outside the table's lock on a counted
// reference, so a FreeLibrary from inside a callback cannot pull the mapping away.
#include "platform/module/module.h"

#include "platform/module/ui_language.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/module/low_scratch.h"
#include "platform/module/mapped_file.h"
#include "platform/module/module_table.h"
#include "platform/module/pe_image.h"
#include "platform/module/res_module.h"
#include "platform/module/resource_tree.h"
#include "platform/text/text.h"

namespace orvex {

namespace {

struct LoadedModule {
  std::string path;
  // Shared by every module loaded from the same unchanged file, so that loading a file
  // that is already loaded (the version functions load the file of a module again as
  // data) reads the mapping that exists instead of opening and mapping the file again.
  std::shared_ptr<const MappedFile> file;
  PeImage image;
  std::once_flag treeOnce;
  std::optional<ResourceTree> tree;

  // The directory is walked on first use, not at load.
  const ResourceTree& Tree() {
    std::call_once(treeOnce, [this] { tree.emplace(ResourceTree::Build(image)); });
    return *tree;
  }
};
using ModulePtr = std::shared_ptr<LoadedModule>;

// Handles stay positive as signed 32-bit values: reuse counts to 0x7FFF, bit 31 clear (the
// handles of compiled resource files have it set).
constexpr ModuleTable<LoadedModule>::Form kForm{0, 0x80000000u, 0x7FFF, 0xFFFE, 0, 0x7FFFFFFEu};

struct Table : ModuleTable<LoadedModule> {
  Table() : ModuleTable(kForm) {}
  ModulePtr host;

  // Caller holds the mutex. The module behind a handle (0 = the host, possibly none).
  std::optional<ModulePtr> LookupWithHost(HMODULE handle) {
    if (handle == 0) return host;
    ModulePtr module = Lookup(handle);
    if (!module) return std::nullopt;
    return module;
  }
};

Table& GetTable() {
  static Table* table = new Table;  // never destroyed: handles may be used during exit
  return *table;
}

std::optional<ModulePtr> Acquire(HMODULE handle) {
  Table& table = GetTable();
  std::lock_guard lock(table.mutex);
  return table.LookupWithHost(handle);
}

// The module with resources behind a handle, or null after setting the last error.
ModulePtr AcquireWithResources(HMODULE handle) {
  auto module = Acquire(handle);
  if (!module) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (!*module || !(*module)->Tree().Root()) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  return *module;
}

// The failure's code is the last error the loader sets.
// The mapping of a loaded module whose file is `path` in the state it was mapped in.
std::shared_ptr<const MappedFile> LoadedMapping(const std::string& path) {
  Table& table = GetTable();
  {
    std::lock_guard lock(table.mutex);
    if (table.Empty()) return nullptr;
  }
  const std::optional<FileIdentity> identity = FileIdentity::Of(path);
  if (!identity) return nullptr;
  std::lock_guard lock(table.mutex);
  std::shared_ptr<const MappedFile> found;
  table.ForEachModule([&](const ModulePtr& module) {
    if (!found && module->file->Identity() == *identity) found = module->file;
  });
  return found;
}

Expected<ModulePtr> OpenModule(LPCSTR path) {
  if (path == nullptr || *path == '\0') return Error{ERROR_MOD_NOT_FOUND, "no file name"};
  std::shared_ptr<const MappedFile> file = LoadedMapping(path);
  if (!file) {
    auto opened = MappedFile::Open(path);
    if (!opened) return opened.GetError();
    file = std::make_shared<const MappedFile>(std::move(*opened));
  }
  auto image = PeImage::Parse(file->Data());
  if (!image) return Error{ERROR_BAD_EXE_FORMAT, image.GetError().message};
  auto module = std::make_shared<LoadedModule>();
  std::error_code ignored;
  std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  module->path = absolute.empty() ? std::string(path) : absolute.lexically_normal().string();
  module->file = std::move(file);
  module->image = std::move(*image);
  return module;
}

// An identifier as the platform passes it: a number, "#digits", or a name.
std::optional<ResourceKey> ParseKey(LPCSTR id) {
  if (IS_INTRESOURCE(id))
    return ResourceKey::Number(static_cast<WORD>(reinterpret_cast<uintptr_t>(id)));
  if (id[0] != '#') return ResourceKey::Name(AnsiToUnicode(id));
  uint32_t value = 0;
  size_t digits = 0;
  for (const char* c = id + 1; *c != '\0'; ++c, ++digits) {
    if (*c < '0' || *c > '9' || digits >= 5) return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(*c - '0');
  }
  if (digits == 0 || value > 0xFFFF) return std::nullopt;
  return ResourceKey::Number(static_cast<WORD>(value));
}

// The identifier to hand a callback: the number, or the name as ANSI text in low memory;
// nothing when the scratch memory is exhausted. The number 0 is a valid identifier that
// reads as a null pointer, so failure cannot be told by the pointer.
std::optional<LPSTR> CallbackId(const ResourceTree& tree, const ResourceEntry& entry,
                                LowScratch& scratch) {
  if (!entry.named) return const_cast<LPSTR>(MAKEINTRESOURCEA(entry.id));
  std::u16string name = tree.Name(entry);
  char* text = scratch.Allocate(name.size() + 1);
  if (text == nullptr) return std::nullopt;
  text[UnicodeToAnsi(name, text)] = '\0';
  return text;
}

// Runs an enumeration over `dir`, giving each entry to `call`; sets the outcome.
template <class Call>
BOOL Enumerate(const ResourceTree& tree, ResourceTree::DirId dir, Call&& call) {
  LowScratch& scratch = LowScratch::ForThread();
  LowScratchFrame frame(scratch);
  bool noMemory = false;
  bool completed = tree.ForEach(dir, [&](const ResourceEntry& entry) {
    frame.Reset();
    std::optional<LPSTR> id = CallbackId(tree, entry, scratch);
    if (!id) {
      noMemory = true;
      return false;
    }
    return call(entry, *id) != FALSE;
  });
  if (completed) return TRUE;
  SetLastError(noMemory ? ERROR_NOT_ENOUGH_MEMORY : ERROR_RESOURCE_ENUM_USER_STOP);
  return FALSE;
}

// Follows a type (and optionally name) down the tree; sets the last error on failure.
std::optional<ResourceTree::DirId> Descend(const ResourceTree& tree, ResourceTree::DirId dir,
                                           LPCSTR id, DWORD notFound) {
  auto key = ParseKey(id);
  std::optional<ResourceEntry> entry;
  if (key) entry = tree.Find(dir, *key);
  std::optional<ResourceTree::DirId> sub;
  if (entry) sub = tree.Subdirectory(*entry);
  if (!sub) SetLastError(key ? notFound : ERROR_INVALID_PARAMETER);
  return sub;
}

struct FoundData {
  ModulePtr module;
  ResourceData data;
};

// The module and data entry behind a resource handle.
std::optional<FoundData> ResolveResource(uint32_t handle, std::optional<HMODULE> expectedModule) {
  Table& table = GetTable();
  ModulePtr module;
  uint32_t dataEntry = 0;
  {
    std::lock_guard lock(table.mutex);
    const auto resource = table.Resource(handle);
    if (!resource) return std::nullopt;
    if (expectedModule && *expectedModule != resource->module) return std::nullopt;
    auto found = table.LookupWithHost(resource->module);
    if (!found || !*found) return std::nullopt;
    module = *found;
    dataEntry = resource->entry;
  }
  ResourceData data = module->Tree().Data(dataEntry);
  return FoundData{std::move(module), data};
}

}  // namespace

HMODULE LoadLibraryExA(LPCSTR path, uint32_t file, DWORD /*flags*/) {
  if (file != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (auto resFile = res_module::Load(path)) return *resFile;
  auto module = OpenModule(path);
  if (!module) {
    SetLastError(module.GetError().code);
    return 0;
  }
  Table& table = GetTable();
  std::lock_guard lock(table.mutex);
  const HMODULE handle = table.Add(std::move(*module));
  if (handle == 0) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

BOOL FreeLibrary(HMODULE module) {
  if (res_module::IsModule(module)) return res_module::Free(module);
  ModulePtr released;  // dropped after the lock: unmapping needs no lock
  Table& table = GetTable();
  std::lock_guard lock(table.mutex);
  released = module == 0 ? nullptr : table.Remove(module);
  if (!released) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  if (res_module::IsModule(module)) return res_module::GetFileName(module, buffer, size);
  auto found = Acquire(module);
  if (!found) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  std::string path;
  if (*found) {
    path = (*found)->path;
  } else {
    std::error_code error;
    path = std::filesystem::read_symlink("/proc/self/exe", error).string();
  }
  if (size == 0 || buffer == nullptr) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() >= size) {
    std::memcpy(buffer, path.data(), size - 1);
    buffer[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}

BOOL RegisterHostModuleFile(LPCSTR path) {
  ModulePtr module;
  if (path != nullptr) {
    auto opened = OpenModule(path);
    if (!opened) {
      SetLastError(opened.GetError().code);
      return FALSE;
    }
    module = std::move(*opened);
  }
  Table& table = GetTable();
  std::lock_guard lock(table.mutex);
  table.DropResources(0);
  std::swap(table.host, module);  // the previous host goes after the lock
  return TRUE;
}

BOOL EnumResourceTypesA(HMODULE module, ENUMRESTYPEPROCA proc, LONG_PTR param) {
  if (res_module::IsModule(module)) return res_module::EnumTypes(module, proc, param);
  if (proc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ModulePtr loaded = AcquireWithResources(module);
  if (!loaded) return FALSE;
  const ResourceTree& tree = loaded->Tree();
  return Enumerate(tree, *tree.Root(),
                   [&](const ResourceEntry&, LPSTR id) { return proc(module, id, param); });
}

BOOL EnumResourceNamesA(HMODULE module, LPCSTR type, ENUMRESNAMEPROCA proc, LONG_PTR param) {
  if (res_module::IsModule(module)) return res_module::EnumNames(module, type, proc, param);
  if (proc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ModulePtr loaded = AcquireWithResources(module);
  if (!loaded) return FALSE;
  const ResourceTree& tree = loaded->Tree();
  auto names = Descend(tree, *tree.Root(), type, ERROR_RESOURCE_TYPE_NOT_FOUND);
  if (!names) return FALSE;
  return Enumerate(tree, *names,
                   [&](const ResourceEntry&, LPSTR id) { return proc(module, type, id, param); });
}

BOOL EnumResourceLanguagesA(HMODULE module, LPCSTR type, LPCSTR name, ENUMRESLANGPROCA proc,
                            LONG_PTR param) {
  if (res_module::IsModule(module))
    return res_module::EnumLanguages(module, type, name, proc, param);
  if (proc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ModulePtr loaded = AcquireWithResources(module);
  if (!loaded) return FALSE;
  const ResourceTree& tree = loaded->Tree();
  auto names = Descend(tree, *tree.Root(), type, ERROR_RESOURCE_TYPE_NOT_FOUND);
  if (!names) return FALSE;
  auto languages = Descend(tree, *names, name, ERROR_RESOURCE_NAME_NOT_FOUND);
  if (!languages) return FALSE;
  bool stopped = !tree.ForEach(*languages, [&](const ResourceEntry& entry) {
    return entry.named || proc(module, type, name, entry.id, param) != FALSE;
  });
  if (!stopped) return TRUE;
  SetLastError(ERROR_RESOURCE_ENUM_USER_STOP);
  return FALSE;
}

HRSRC FindResourceExA(HMODULE module, LPCSTR type, LPCSTR name, WORD language) {
  if (res_module::IsModule(module)) return res_module::Find(module, type, name, language);
  ModulePtr loaded = AcquireWithResources(module);
  if (!loaded) return 0;
  const ResourceTree& tree = loaded->Tree();
  auto names = Descend(tree, *tree.Root(), type, ERROR_RESOURCE_TYPE_NOT_FOUND);
  if (!names) return 0;
  auto languages = Descend(tree, *names, name, ERROR_RESOURCE_NAME_NOT_FOUND);
  if (!languages) return 0;
  auto entry =
      tree.FindLanguage(*languages, language == 0 ? std::nullopt : std::optional<WORD>(language),
                        GetThreadUILanguage());
  if (!entry) {
    SetLastError(ERROR_RESOURCE_LANG_NOT_FOUND);
    return 0;
  }

  Table& table = GetTable();
  std::lock_guard lock(table.mutex);
  auto current = table.LookupWithHost(module);
  if (!current || *current != loaded) {  // freed meanwhile
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const uint32_t handle = table.ResourceHandle(module, entry->target);
  if (handle == 0) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  return FindResourceExA(module, type, name, 0);
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
  if (res_module::IsModule(module)) return res_module::Load(module, resource);
  auto found = ResolveResource(resource, module);
  if (!found) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!found->data.inFile) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return 0;
  }
  return resource;
}

const void* LockResource(HGLOBAL data) {
  if (res_module::IsResource(data)) return res_module::Lock(data);
  auto found = ResolveResource(data, std::nullopt);
  if (!found || !found->data.inFile) return nullptr;
  return found->data.bytes.data();
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
  if (res_module::IsModule(module)) return res_module::Size(module, resource);
  auto found = ResolveResource(resource, module);
  if (!found) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return found->data.inFile ? found->data.size : 0;
}

BOOL FreeResource(HGLOBAL /*data*/) {
  return FALSE;
}

}  // namespace orvex
