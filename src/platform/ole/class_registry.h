// The class registry of the automation runtime: creatable classes by CLSID and ProgID.
//
// Lookups go first to the in-process table (factories registered by code linked into the
// process, e.g. RegisterOrvex10Classes()), then to the per-user registry file
// (registry_file.h): a ProgID's "CLSID" key gives the class, the class's "InprocServer32"
// key gives the shared library, which is loaded once (never unloaded) and asked for the
// factory through its exported DllGetClassObject.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/ole/dispatch.h"
#include "platform/ole/unknown.h"

namespace orvex {

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

// The exports of an in-process server (C linkage in the server library).
using DllGetClassObjectFunction = HRESULT (*)(REFCLSID clsid, REFIID iid, void** object);

// In-process table. Registering a CLSID again replaces its factory and ProgID.
HRESULT CoRegisterClassObject(REFCLSID clsid, IClassFactory* factory, std::string_view progId);
HRESULT CoRevokeClassObject(REFCLSID clsid);

// ProgID (case-insensitive) to CLSID: in-process table, then registry file.
// CO_E_CLASSSTRING when unknown.
HRESULT CLSIDFromProgID(std::u16string_view progId, CLSID* clsid);
// The factory of a class: in-process table, then the registered shared library.
// REGDB_E_CLASSNOTREG when unknown, CO_E_DLLNOTFOUND / CO_E_ERRORINDLL when the library
// cannot be loaded or has no DllGetClassObject.
HRESULT CoGetClassObject(REFCLSID clsid, REFIID iid, void** object);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);

// A class factory creating objects of one table-described class (counts LockServer).
ComPtr<IClassFactory> MakeClassFactory(const ClassInfo& info);
// Registers the class's factory in-process under its CLSID and ProgID.
HRESULT RegisterClassInProcess(const ClassInfo& info);

// What an in-process server writes into the registry file.
struct ServerDescription {
  const char* libraryName;  // type library name, e.g. "Orvex10"
  GUID libid;
  const char* version;  // "1.0"
  std::span<const ClassInfo* const> classes;
};

// Writes, for each creatable class: CLSID\{clsid} (class name, InprocServer32 = `path` with
// ThreadingModel Apartment, ProgID, TypeLib, Version), the ProgID key with its CLSID, the
// default interface under Interface\{iid}, and TypeLib\{libid}\<version> with the path.
HRESULT RegisterServer(const ServerDescription& server, const std::string& path);
// Removes exactly the keys RegisterServer writes for this server.
HRESULT UnregisterServer(const ServerDescription& server);

// The bodies of an in-process server's exports, shared by the libraries that export them.
// DllGetClassObject: a factory for one of the server's classes, CLASS_E_CLASSNOTAVAILABLE
// for any other CLSID.
HRESULT ServerGetClassObject(const ServerDescription& server, REFCLSID clsid, REFIID iid,
                             void** object);
// DllCanUnloadNow: S_OK once no object of this runtime lives and no lock is held.
HRESULT ServerCanUnloadNow();
// DllRegisterServer: registers the shared library that contains `exportAddress` (the
// address of one of its exports); SELFREG_E_CLASS when that library can't be located.
HRESULT ServerRegister(const ServerDescription& server, const void* exportAddress);

// The path of the shared object (or executable) that contains `address`.
std::string ModulePathOf(const void* address);

}  // namespace orvex
