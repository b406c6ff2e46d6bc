// The in-process table of class factories, consulted before the backend's registry of
// classes (registered_classes.h), and the bodies of an in-process server's exports.
#include <mutex>
#include <vector>

#include "platform/ole/class_registry.h"
#include "platform/ole/com_object.h"
#include "platform/ole/registered_classes.h"
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

// The in-process table. Leaked on purpose: objects and thread state may release
// factories during process exit.
struct Registry {
  std::mutex mutex;
  std::vector<Entry> entries;
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

class TableClassFactory final : public ComObject<TableClassFactory, IClassFactory> {
 public:
  explicit TableClassFactory(const ClassInfo& info) : info_(info) {}

  HRESULT ORVEX_COM_CALL CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
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
  HRESULT ORVEX_COM_CALL LockServer(BOOL lock) override {
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
  return RegisteredClsid(progId, clsid);
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
  return RegisteredClassObject(clsid, iid, object);
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

}  // namespace orvex
