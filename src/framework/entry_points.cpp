// The four exports of libq7halden10.so.
#include "framework/q7halden10.h"

using namespace orvex;

extern "C" {

HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return ServerGetClassObject(Q7Halden10Server(), clsid, iid, object);
}

HRESULT DllCanUnloadNow() {
  return ServerCanUnloadNow();
}

HRESULT DllRegisterServer() {
  return ServerRegister(Q7Halden10Server(), reinterpret_cast<const void*>(&DllRegisterServer));
}

HRESULT DllUnregisterServer() {
  return UnregisterServer(Q7Halden10Server());
}

}  // extern "C"
