#include "platform/ole/class_registry.h"

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <vector>

#include "platform/ole/com_object.h"
#include "platform/ole/registry_file.h"
#include "platform/text/text.h"

namespace orvex {

namespace {

struct Entry {
  CLSID clsid;
  std::string progId;
  std::u16string upperProgId;  // for lookups without regard to case
  ComPtr<IClassFactory> factory;
};

std::u16string UpperProgId(std::u16string text) {
  for (char16_t& c : text) c = UpperCase(c);
  return text;
}

// The in-process table and the libraries loaded for registered classes. Leaked on
// purpose: objects and thread state may release factories during process exit.
struct Registry {
  std::mutex mutex;
  std::vector<Entry> entries;
  std::map<std::string, DllGetClassObjectFunction> loaded;
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

class TableClassFactory final : public ComObject<TableClassFactory, IClassFactory> {
 public:
  explicit TableClassFactory(const ClassInfo& info) : info_(info) {}

  HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    Dispatchable* created = nullptr;
    try {
      created = info_.Create();
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (const RuntimeError& error) {
      return RuntimeErrorScode(error.Number());
    }
    HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
  }
  HRESULT LockServer(BOOL lock) override {
    LockServerCount(lock != FALSE);
    return S_OK;
  }

 private:
  const ClassInfo& info_;
};

HRESULT LoadServer(const std::string& path, DllGetClassObjectFunction* function) {
  Registry& registry = TheRegistry();
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

HRESULT CoRegisterClassObject(REFCLSID clsid, IClassFactory* factory, std::string_view progId) {
  if (factory == nullptr) return E_INVALIDARG;
  Registry& registry = TheRegistry();
  ComPtr<IClassFactory> replaced;
  {
    std::lock_guard lock(registry.mutex);
    for (Entry& e : registry.entries) {
      if (e.clsid == clsid) {
        replaced = std::move(e.factory);
        e.factory = ComPtr<IClassFactory>(factory);
        e.progId = std::string(progId);
        e.upperProgId = UpperProgId(Utf8ToUtf16(progId));
        return S_OK;
      }
    }
    registry.entries.push_back(Entry{clsid, std::string(progId), UpperProgId(Utf8ToUtf16(progId)),
                                     ComPtr<IClassFactory>(factory)});
  }
  return S_OK;
}

HRESULT CoRevokeClassObject(REFCLSID clsid) {
  Registry& registry = TheRegistry();
  ComPtr<IClassFactory> revoked;
  std::lock_guard lock(registry.mutex);
  for (auto it = registry.entries.begin(); it != registry.entries.end(); ++it) {
    if (it->clsid == clsid) {
      revoked = std::move(it->factory);
      registry.entries.erase(it);
      return S_OK;
    }
  }
  return E_INVALIDARG;
}

HRESULT CLSIDFromProgID(std::u16string_view progId, CLSID* clsid) {
  if (clsid == nullptr) return E_POINTER;
  std::string name = Utf16ToUtf8(progId);
  const std::u16string upper = UpperProgId(std::u16string(progId));
  {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    for (const Entry& e : registry.entries) {
      if (!e.progId.empty() && e.upperProgId == upper) {
        *clsid = e.clsid;
        return S_OK;
      }
    }
  }
  if (name.empty() || name.find_first_of("\\[]") != std::string::npos) return CO_E_CLASSSTRING;
  auto file = RegistryFile::Load(RegistryFilePath());
  if (!file) return CO_E_CLASSSTRING;
  auto text = file->Get(name + "\\CLSID");
  if (!text || !GuidFromString(*text, clsid)) return CO_E_CLASSSTRING;
  return S_OK;
}

HRESULT CoGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  ComPtr<IClassFactory> factory;
  {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    for (const Entry& e : registry.entries)
      if (e.clsid == clsid) factory = e.factory;
  }
  if (factory) return factory->QueryInterface(iid, object);

  auto file = RegistryFile::Load(RegistryFilePath());
  if (!file) return REGDB_E_CLASSNOTREG;
  auto path = file->Get("CLSID\\" + GuidToString(clsid) + "\\InprocServer32");
  if (!path || path->empty()) return REGDB_E_CLASSNOTREG;
  DllGetClassObjectFunction entry = nullptr;
  HRESULT hr = LoadServer(*path, &entry);
  if (FAILED(hr)) return hr;
  return entry(clsid, iid, object);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  ComPtr<IClassFactory> factory;
  HRESULT hr = CoGetClassObject(clsid, IID_IClassFactory, factory.PutVoid());
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(outer, iid, object);
}

ComPtr<IClassFactory> MakeClassFactory(const ClassInfo& info) {
  return ComPtr<IClassFactory>::Attach(new TableClassFactory(info));
}

HRESULT RegisterClassInProcess(const ClassInfo& info) {
  return CoRegisterClassObject(info.Clsid(), MakeClassFactory(info).Get(), info.ProgId());
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

HRESULT ServerGetClassObject(const ServerDescription& server, REFCLSID clsid, REFIID iid,
                             void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  for (const ClassInfo* info : server.classes)
    if (info->Clsid() == clsid) return MakeClassFactory(*info)->QueryInterface(iid, object);
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ServerCanUnloadNow() {
  return LiveObjectCount() == 0 && ServerLockCount() == 0 ? S_OK : S_FALSE;
}

HRESULT ServerRegister(const ServerDescription& server, const void* exportAddress) {
  std::string path = ModulePathOf(exportAddress);
  if (path.empty()) return SELFREG_E_CLASS;
  return RegisterServer(server, path);
}

std::string ModulePathOf(const void* address) {
  Dl_info info{};
  if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
  char resolved[4096];
  if (::realpath(info.dli_fname, resolved) != nullptr) return resolved;
  return info.dli_fname;
}

}  // namespace orvex
