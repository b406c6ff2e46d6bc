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


// The classes' keys under HKEY_CLASSES_ROOT, and the type library (linked into the server
// as its TYPELIB resource) registered by the platform, which writes TypeLib\{libid} and
// the interfaces' keys.
HRESULT RegisterServer(const ServerDescription& server, const std::string& path) {
  // A server without a type library (no TYPELIB resource) registers its classes only.
  ::HMODULE module = ::GetModuleHandleA(path.c_str());
  if (module != nullptr && ::FindResourceA(module, MAKEINTRESOURCEA(1), "TYPELIB") != nullptr) {
    const std::u16string widePath = AnsiToUnicode(path);
    ::ITypeLib* library = nullptr;
    if (FAILED(::LoadTypeLibEx(reinterpret_cast<const wchar_t*>(widePath.c_str()),
                               REGKIND_REGISTER, &library)))
      return SELFREG_E_TYPELIB;
    library->Release();
  }
  const std::string libid = GuidToString(server.libid);
  const std::string version = server.version;
  bool ok = true;
  for (const ClassInfo* info : server.classes) {
    const std::string clsidKey = "CLSID\\" + GuidToString(info->Clsid());
    const std::string progId = info->ProgId();
    ok = ok && SetKey(clsidKey, nullptr, info->Name());
    ok = ok && SetKey(clsidKey + "\\InprocServer32", nullptr, path);
    ok = ok && SetKey(clsidKey + "\\InprocServer32", "ThreadingModel", "Apartment");
    ok = ok && SetKey(clsidKey + "\\TypeLib", nullptr, libid);
    ok = ok && SetKey(clsidKey + "\\Version", nullptr, version);
    // Classes that other objects make (a form's controls) have no ProgID to register.
    if (progId.empty()) continue;
    ok = ok && SetKey(clsidKey + "\\ProgID", nullptr, progId);
    ok = ok && SetKey(progId, nullptr, info->Name());
    ok = ok && SetKey(progId + "\\CLSID", nullptr, GuidToString(info->Clsid()));
  }
  return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterServer(const ServerDescription& server) {
  for (const ClassInfo* info : server.classes) {
    DeleteKey("CLSID\\" + GuidToString(info->Clsid()));
    // (An empty key name would stand for the whole of HKEY_CLASSES_ROOT.)
    if (*info->ProgId() != '\0') DeleteKey(info->ProgId());
  }
  const unsigned major = static_cast<unsigned>(std::atoi(server.version));
  const char* dot = std::strchr(server.version, '.');
  const unsigned minor = dot ? static_cast<unsigned>(std::atoi(dot + 1)) : 0;
  const ::SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  // Nothing to remove when no type library was registered.
  (void)::UnRegisterTypeLib(Real(server.libid), static_cast<::WORD>(major),
                            static_cast<::WORD>(minor), 0, kind);
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
