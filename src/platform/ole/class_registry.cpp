// The stand-in's registry of classes: the per-user registry file (registry_file.h). A
// ProgID's "CLSID" key gives the class, the class's "InprocServer32" key gives the shared
// library, which is loaded once (never unloaded) and asked for the factory through its
// exported DllGetClassObject.
#include <dlfcn.h>

#include <map>
#include <mutex>

#include "platform/ole/class_registry.h"
#include "platform/ole/registered_classes.h"
#include "platform/ole/registry_file.h"
#include "platform/text/text.h"

namespace orvex {

namespace {

// The libraries loaded for registered classes. Leaked on purpose (see class_table.cpp).
struct LoadedServers {
  std::mutex mutex;
  std::map<std::string, DllGetClassObjectFunction> loaded;
};

LoadedServers& TheServers() {
  static auto* servers = new LoadedServers;
  return *servers;
}

HRESULT LoadServer(const std::string& path, DllGetClassObjectFunction* function) {
  LoadedServers& registry = TheServers();
  {
    std::lock_guard lock(registry.mutex);
    if (auto it = registry.loaded.find(path); it != registry.loaded.end()) {
      *function = it->second;
      return S_OK;
    }
  }
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return CO_E_DLLNOTFOUND;
  auto entry = reinterpret_cast<DllGetClassObjectFunction>(::dlsym(handle, "DllGetClassObject"));
  if (entry == nullptr) {
    ::dlclose(handle);
    return CO_E_ERRORINDLL;
  }
  std::lock_guard lock(registry.mutex);
  registry.loaded.emplace(path, entry);
  *function = entry;
  return S_OK;
}

}  // namespace

HRESULT RegisteredClsid(std::u16string_view progId, CLSID* clsid) {
  const std::string name = Utf16ToUtf8(progId);
  if (name.empty() || name.find_first_of("\\[]") != std::string::npos) return CO_E_CLASSSTRING;
  auto file = RegistryFile::Load(RegistryFilePath());
  if (!file) return CO_E_CLASSSTRING;
  auto text = file->Get(name + "\\CLSID");
  if (!text || !GuidFromString(*text, clsid)) return CO_E_CLASSSTRING;
  return S_OK;
}

HRESULT RegisteredClassObject(REFCLSID clsid, REFIID iid, void** object) {
  auto file = RegistryFile::Load(RegistryFilePath());
  if (!file) return REGDB_E_CLASSNOTREG;
  auto path = file->Get("CLSID\\" + GuidToString(clsid) + "\\InprocServer32");
  if (!path || path->empty()) return REGDB_E_CLASSNOTREG;
  DllGetClassObjectFunction entry = nullptr;
  HRESULT hr = LoadServer(*path, &entry);
  if (FAILED(hr)) return hr;
  return entry(clsid, iid, object);
}

namespace {

std::string LibraryKey(const ServerDescription& server) {
  return "TypeLib\\" + GuidToString(server.libid);
}

}  // namespace

HRESULT RegisterServer(const ServerDescription& server, const std::string& path) {
  std::string file = RegistryFilePath();
  auto registry = RegistryFile::Load(file);
  if (!registry) return REGDB_E_WRITEREGDB;
  std::string libid = GuidToString(server.libid);
  std::string version = server.version;
  std::string typeLib = LibraryKey(server) + "\\" + version;
  registry->Set(typeLib, "@", server.libraryName);
  registry->Set(typeLib + "\\0\\linux64", "@", path);
  registry->Set(typeLib + "\\FLAGS", "@", "0");
  for (const ClassInfo* info : server.classes) {
    std::string clsidKey = "CLSID\\" + GuidToString(info->Clsid());
    std::string progId = info->ProgId();
    registry->Set(clsidKey, "@", info->Name());
    registry->Set(clsidKey + "\\InprocServer32", "@", path);
    registry->Set(clsidKey + "\\InprocServer32", "ThreadingModel", "Apartment");
    registry->Set(clsidKey + "\\TypeLib", "@", libid);
    registry->Set(clsidKey + "\\Version", "@", version);
    // Classes that other objects make (a form's controls) have no ProgID to register.
    if (!progId.empty()) {
      registry->Set(clsidKey + "\\ProgID", "@", progId);
      registry->Set(progId, "@", info->Name());
      registry->Set(progId + "\\CLSID", "@", GuidToString(info->Clsid()));
    }
    std::string interfaceKey = "Interface\\" + GuidToString(info->Iid());
    registry->Set(interfaceKey, "@", info->InterfaceName());
    registry->Set(interfaceKey + "\\ProxyStubClsid32", "@",
                  "{00020424-0000-0000-C000-000000000046}");
    registry->Set(interfaceKey + "\\TypeLib", "@", libid);
    registry->Set(interfaceKey + "\\TypeLib", "Version", version);
  }
  if (!registry->Save(file)) return REGDB_E_WRITEREGDB;
  return S_OK;
}

HRESULT UnregisterServer(const ServerDescription& server) {
  std::string file = RegistryFilePath();
  auto registry = RegistryFile::Load(file);
  if (!registry) return REGDB_E_WRITEREGDB;
  registry->DeleteTree(LibraryKey(server));
  for (const ClassInfo* info : server.classes) {
    registry->DeleteTree("CLSID\\" + GuidToString(info->Clsid()));
    if (*info->ProgId() != '\0') registry->DeleteTree(info->ProgId());
    registry->DeleteTree("Interface\\" + GuidToString(info->Iid()));
  }
  if (!registry->Save(file)) return REGDB_E_WRITEREGDB;
  return S_OK;
}

std::string ModulePathOf(const void* address) {
  Dl_info info{};
  if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
  char resolved[4096];
  if (::realpath(info.dli_fname, resolved) != nullptr) return resolved;
  return info.dli_fname;
}

}  // namespace orvex
