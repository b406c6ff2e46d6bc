// The four exports of liborvex10.so, following the in-process server convention.
#include "platform/ole/class_registry.h"
#include "server/class_catalogue.h"

using namespace orvex;

extern "C" {

HRESULT ORVEX_COM_CALL DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  // Objects of the library create further objects by CLSID in this copy of the runtime.
  RegisterOrvex10Classes();
  return ServerGetClassObject(Orvex10Server(), clsid, iid, object);
}

HRESULT ORVEX_COM_CALL DllCanUnloadNow() {
  return ServerCanUnloadNow();
}

HRESULT ORVEX_COM_CALL DllRegisterServer() {
  return ServerRegister(Orvex10Server(), reinterpret_cast<const void*>(&DllRegisterServer));
}

HRESULT ORVEX_COM_CALL DllUnregisterServer() {
  return UnregisterServer(Orvex10Server());
}

}  // extern "C"
