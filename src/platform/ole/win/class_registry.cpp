#include "platform/ole/class_registry.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/ole/com_object.h"
#include "platform/text/text.h"

#include "platform/core/win/windows_sdk.h"

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

// The in-process table, consulted before the platform's registry. Leaked on purpose:
// objects and thread state may release factories during process exit.
struct Registry {
  std::mutex mutex;
  std::vector<Entry> entries;
};

const ::GUID& Real(const GUID& guid) {
  return *reinterpret_cast<const ::GUID*>(&guid);
}

// Writes one value under HKEY_CLASSES_ROOT (name null: the key's default value).
bool SetKey(const std::string& key, const char* name, const std::string& value) {
  ::HKEY handle = nullptr;
  if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &handle, nullptr) != ERROR_SUCCESS)
    return false;
  const bool ok = ::RegSetValueExA(handle, name, 0, REG_SZ,
                                   reinterpret_cast<const ::BYTE*>(value.c_str()),
                                   static_cast<::DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  ::RegCloseKey(handle);
  return ok;
}

void DeleteKey(const std::string& key) {
  ::RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
  ::RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
}

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
  const std::u16string text(progId);
  return ::CLSIDFromProgID(reinterpret_cast<const wchar_t*>(text.c_str()),
                           reinterpret_cast<::CLSID*>(clsid));
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
  return ::CoGetClassObject(Real(clsid), CLSCTX_INPROC_SERVER, nullptr, Real(iid), object);
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


// The keys under HKEY_CLASSES_ROOT: the type library (linked into the server as its TYPELIB
// resource) under the neutral locale, each class with its in-process server, ProgID and
// type library, each default interface with the automation marshaler.
HRESULT RegisterServer(const ServerDescription& server, const std::string& path) {
  const std::string libid = GuidToString(server.libid);
  const std::string version = server.version;
  bool ok = true;
  ::HMODULE module = ::GetModuleHandleA(path.c_str());
  const bool hasTypeLibrary =
      module != nullptr && ::FindResourceA(module, MAKEINTRESOURCEA(1), "TYPELIB") != nullptr;
  if (hasTypeLibrary) {
    const std::string typeLib = "TypeLib\\" + libid + "\\" + version;
    ok = ok && SetKey(typeLib, nullptr, server.libraryName);
    ok = ok && SetKey(typeLib + (sizeof(void*) == 8 ? "\\0\\win64" : "\\0\\win32"), nullptr, path);
    ok = ok && SetKey(typeLib + "\\FLAGS", nullptr, "0");
    ok = ok && SetKey(typeLib + "\\HELPDIR", nullptr, path.substr(0, path.find_last_of('\\') + 1));
  }
  for (const ClassInfo* info : server.classes) {
    const std::string clsidKey = "CLSID\\" + GuidToString(info->Clsid());
    const std::string progId = info->ProgId();
    ok = ok && SetKey(clsidKey, nullptr, info->Name());
    ok = ok && SetKey(clsidKey + "\\InprocServer32", nullptr, path);
    ok = ok && SetKey(clsidKey + "\\InprocServer32", "ThreadingModel", "Apartment");
    ok = ok && SetKey(clsidKey + "\\ProgID", nullptr, progId);
    ok = ok && SetKey(progId, nullptr, info->Name());
    ok = ok && SetKey(progId + "\\CLSID", nullptr, GuidToString(info->Clsid()));
    if (!hasTypeLibrary) continue;
    ok = ok && SetKey(clsidKey + "\\TypeLib", nullptr, libid);
    ok = ok && SetKey(clsidKey + "\\Version", nullptr, version);
    const std::string interfaceKey = "Interface\\" + GuidToString(info->Iid());
    ok = ok && SetKey(interfaceKey, nullptr, info->InterfaceName());
    ok = ok && SetKey(interfaceKey + "\\ProxyStubClsid32", nullptr,
                      "{00020424-0000-0000-C000-000000000046}");
    ok = ok && SetKey(interfaceKey + "\\TypeLib", nullptr, libid);
    ok = ok && SetKey(interfaceKey + "\\TypeLib", "Version", version);
  }
  return ok ? S_OK : SELFREG_E_CLASS;
}

// Removes exactly the keys RegisterServer writes.
HRESULT UnregisterServer(const ServerDescription& server) {
  for (const ClassInfo* info : server.classes) {
    DeleteKey("CLSID\\" + GuidToString(info->Clsid()));
    DeleteKey(info->ProgId());
    DeleteKey("Interface\\" + GuidToString(info->Iid()));
  }
  DeleteKey("TypeLib\\" + GuidToString(server.libid));
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
  ::HMODULE module = nullptr;
  if (!::GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<const char*>(address), &module))
    return {};
  char path[MAX_PATH * 4];
  const ::DWORD length = ::GetModuleFileNameA(module, path, sizeof path);
  if (length == 0 || length >= sizeof path) return {};
  return std::string(path, length);
}

}  // namespace orvex
