// The platform's registry of classes: ProgIDs and in-process servers under
// HKEY_CLASSES_ROOT, factories from the platform's COM, and what DllRegisterServer writes.
#include <cstring>
#include <string>

#include "platform/ole/class_registry.h"
#include "platform/ole/registered_classes.h"
#include "platform/text/text.h"

#include "platform/core/win/windows_sdk.h"

namespace orvex {

namespace {

const ::GUID& Real(const GUID& guid) {
  return *reinterpret_cast<const ::GUID*>(&guid);
}

// Writes one value under HKEY_CLASSES_ROOT (name null: the key's default value).
bool SetKey(const std::string& key, const char* name, const std::string& value) {
  ::HKEY handle = nullptr;
  if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
    return false;
  const bool ok =
      ::RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const ::BYTE*>(value.c_str()),
                       static_cast<::DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  ::RegCloseKey(handle);
  return ok;
}

void DeleteKey(const std::string& key) {
  ::RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
  ::RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
}

}  // namespace

HRESULT RegisteredClsid(std::u16string_view progId, CLSID* clsid) {
  const std::u16string text(progId);
  return ::CLSIDFromProgID(reinterpret_cast<const wchar_t*>(text.c_str()),
                           reinterpret_cast<::CLSID*>(clsid));
}

HRESULT RegisteredClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return ::CoGetClassObject(Real(clsid), CLSCTX_INPROC_SERVER, nullptr, Real(iid), object);
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
    // Classes that other objects make (a form's controls) have no ProgID to register.
    if (!progId.empty()) {
      ok = ok && SetKey(clsidKey + "\\ProgID", nullptr, progId);
      ok = ok && SetKey(progId, nullptr, info->Name());
      ok = ok && SetKey(progId + "\\CLSID", nullptr, GuidToString(info->Clsid()));
    }
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
    // (An empty key name would stand for the whole of HKEY_CLASSES_ROOT.)
    if (*info->ProgId() != '\0') DeleteKey(info->ProgId());
    DeleteKey("Interface\\" + GuidToString(info->Iid()));
  }
  DeleteKey("TypeLib\\" + GuidToString(server.libid));
  return S_OK;
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
