// The four exports of liborvex10.so, following the in-process server convention.
#include "platform/ole/class_registry.h"
#include "server/class_catalogue.h"

using namespace orvex;

extern "C" {

HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  // Objects of the library create further objects by CLSID in this copy of the runtime.
  RegisterOrvex10Classes();
  for (const ClassInfo* info : Orvex10Classes()) {
    if (info->Clsid() == clsid) return MakeClassFactory(*info)->QueryInterface(iid, object);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT DllCanUnloadNow() {
  return LiveObjectCount() == 0 && ServerLockCount() == 0 ? S_OK : S_FALSE;
}

HRESULT DllRegisterServer() {
  std::string path = ModulePathOf(reinterpret_cast<const void*>(&DllRegisterServer));
  if (path.empty()) return SELFREG_E_CLASS;
  return RegisterServer(Orvex10Server(), path);
}

HRESULT DllUnregisterServer() {
  return UnregisterServer(Orvex10Server());
}

}  // extern "C"
