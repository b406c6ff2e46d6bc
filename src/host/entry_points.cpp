// The four exports of liborvex10host.so.
#include "host/host_kit.h"

using namespace orvex;

extern "C" {

HRESULT ORVEX_COM_CALL DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return ServerGetClassObject(HostKitServer(), clsid, iid, object);
}

HRESULT ORVEX_COM_CALL DllCanUnloadNow() {
  return ServerCanUnloadNow();
}

HRESULT ORVEX_COM_CALL DllRegisterServer() {
  return ServerRegister(HostKitServer(), reinterpret_cast<const void*>(&DllRegisterServer));
}

HRESULT ORVEX_COM_CALL DllUnregisterServer() {
  return UnregisterServer(HostKitServer());
}

}  // extern "C"
