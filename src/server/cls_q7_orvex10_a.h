// clsQ7Orvex10A: the library's own application object, About box and per-thread buddy
// object slot. Reading the library's own resources (GetProResStrings, GetProResPicture,
// GetProResData) is not implemented yet.
#pragma once

#include "platform/ole/dispatch.h"

namespace orvex {

class clsQ7Orvex10A : public Dispatchable {
 public:
  // Start-up: CreateResourceTmpFolder.
  explicit clsQ7Orvex10A(const ClassInfo& info);

  // The application object (a new reference).
  ComPtr<IDispatch> GetProStdProperties();
  // Shows the About box through the framework component; always 0 (a failed report is the
  // member's error).
  int32_t About();
  // The calling thread's slot: shared by every instance on the thread, empty until set.
  ComPtr<IDispatch> BuddyObjectGlobal();
  void SetBuddyObjectGlobal(ComPtr<IDispatch> object);
};

}  // namespace orvex
