// ThreadModuleState: the library's module-level state, one record per thread that uses
// it. Objects are apartment-threaded, so nothing here is locked; another thread never
// sees this thread's record.
//
// Lifetime: created on first use; torn down when the thread ends (for the main thread, at
// process exit before static objects go). Tear-down releases, in order, the buddy object,
// the current catalogue (whose own tear-down still finds the record, with the slot already
// empty), the application object, and frees the thread's module handle. Code that may run
// during or after that tear-down (an object's destructor) reaches the record through
// ThreadModuleStateIfAlive().
#pragma once

#include <string>

#include "platform/ole/dispatch.h"
#include "platform/win32_types.h"

namespace orvex {

struct ThreadModuleState {
  // Handle of the module that the last Filename assignment on this thread opened; 0 = none.
  HMODULE ThreadModuleHandle = 0;
  // One counted reference to the current catalogue (a clsQ7ResfResourceTypesA), or empty.
  // Use the catalogue's helpers (catalogue/cls_q7_resf_resource_types_a.h) to read it.
  ComPtr<Dispatchable> ThreadCatalogue;
  // The Index of the type record added last.
  LONG ThreadTypeIndex = 0;
  // The resource type identifier last given to any type record's Style (a type number, or
  // a value standing for a type name during an enumeration).
  LONG ThreadTypeId = 0;
  // The ANSI name of the named type last given to a Style during an enumeration, so that
  // size lookups after the enumeration still name that type (empty otherwise).
  std::string ThreadTypeName;
  // The temporary file path of the resource being converted or played.
  std::u16string ThreadTmpFileName;
  // The window of the last dialog preview.
  HWND ThreadPreviewWindow = 0;
  // The text accumulator of the menu walk.
  std::u16string ThreadMenuText;
  // The slot behind clsQ7Orvex10A.BuddyObjectGlobal.
  ComPtr<IDispatch> BuddyObjectGlobal;
  // The application object of the library, made on first use (application_object.h).
  ComPtr<IDispatch> ApplicationObject;
};

// The calling thread's record, created on first use.
ThreadModuleState& GetThreadModuleState();
// The calling thread's record, or null once its tear-down has begun.
ThreadModuleState* ThreadModuleStateIfAlive();

}  // namespace orvex
