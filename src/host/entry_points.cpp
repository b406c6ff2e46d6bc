// The four exports of liborvex10host.so.
#include "host/host_kit.h"

using namespace orvex;

extern "C" {

HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return ServerGetClassObject(HostKitServer(), clsid, iid, object);
}

HRESULT DllCanUnloadNow() {
  return ServerCanUnloadNow();
}

HRESULT DllRegisterServer() {
  return ServerRegister(HostKitServer(), reinterpret_cast<const void*>(&DllRegisterServer));
}

HRESULT DllUnregisterServer() {
  return UnregisterServer(HostKitServer());
}

}  // extern "C"
