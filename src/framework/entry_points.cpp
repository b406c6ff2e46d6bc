// The four exports of libq7halden10.so.
#include "framework/q7halden10.h"

using namespace orvex;

extern "C" {

HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  for (const ClassInfo* info : Q7Halden10Classes())
    if (info->Clsid() == clsid) return MakeClassFactory(*info)->QueryInterface(iid, object);
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT DllCanUnloadNow() {
  return LiveObjectCount() == 0 && ServerLockCount() == 0 ? S_OK : S_FALSE;
}

HRESULT DllRegisterServer() {
  std::string path = ModulePathOf(reinterpret_cast<const void*>(&DllRegisterServer));
  if (path.empty()) return SELFREG_E_CLASS;
  return RegisterServer(Q7Halden10Server(), path);
}

HRESULT DllUnregisterServer() {
  return UnregisterServer(Q7Halden10Server());
}

}  // extern "C"
