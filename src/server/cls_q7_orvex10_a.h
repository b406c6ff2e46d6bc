// clsQ7Orvex10A: the library itself rather than a module a client opens: its application
// object, its own resources (own_module.h: a version block and one interface-identifier
// resource per class, nothing else), the About box and the per-thread buddy object slot.
// Resource members have no handler: a missing resource is Err::ResourceNotFound, a wrong
// type Err::TypeMismatch, an lRestype beyond 16 bits Err::Overflow (before anything is loaded).
#pragma once

#include "platform/ole/dispatch.h"

namespace orvex {

class clsQ7Orvex10A : public Dispatchable {
 public:
  // Start-up: CreateResourceTmpFolder.
  explicit clsQ7Orvex10A(const ClassInfo& info);

  // The application object (a new reference).
  ComPtr<IDispatch> GetProStdProperties();
  // String lResId of the library's own string table; the library carries none, so
  // Err::ResourceNotFound.
  std::u16string GetProResStrings(int32_t lResId);
  // Picture lResId of kind lRestype (0 bitmap, 1 icon, 2 cursor; others
  // Err::InvalidProcedureCall); the library carries none, so Err::ResourceNotFound.
  ComPtr<IDispatch> GetProResPicture(int32_t lResId, int32_t lRestype);
  // The bytes of resource lResId of type vRestype (a type number, or a type name as text)
  // as VT_ARRAY | VT_UI1. GetProResData(1, 16) is the version block.
  Variant GetProResData(int32_t lResId, const VARIANT& vRestype);
  // Shows the About box through the framework component; always 0 (a failed report is the
  // member's error).
  int32_t About();
  // The calling thread's slot: shared by every instance on the thread, empty until set.
  ComPtr<IDispatch> BuddyObjectGlobal();
  void SetBuddyObjectGlobal(ComPtr<IDispatch> object);
};

}  // namespace orvex
