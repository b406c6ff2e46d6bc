// The four exports of libq7halden10.so.
#include "framework/q7halden10.h"

using namespace orvex;

extern "C" {

HRESULT ORVEX_COM_CALL DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return ServerGetClassObject(Q7Halden10Server(), clsid, iid, object);
}

HRESULT ORVEX_COM_CALL DllCanUnloadNow() {
  return ServerCanUnloadNow();
}

HRESULT ORVEX_COM_CALL DllRegisterServer() {
  return ServerRegister(Q7Halden10Server(), reinterpret_cast<const void*>(&DllRegisterServer));
}

HRESULT ORVEX_COM_CALL DllUnregisterServer() {
  return UnregisterServer(Q7Halden10Server());
}

}  // extern "C"
