#include "server/cls_q7_orvex10_a.h"

#include <cstring>
#include <string>
#include <utility>

#include "platform/module/module.h"
#include "platform/module/resource_types.h"
#include "platform/ole/oleauto.h"
#include "platform/text/text.h"
#include "server/frame/application_object.h"
#include "server/frame/bas_q7el_common_a.h"
#include "server/frame/own_module.h"
#include "server/frame/resource_tmp_folder.h"
#include "server/frame/thread_module_state.h"

namespace orvex {

namespace {

[[noreturn]] void ThrowNotFound(int32_t lResId) {
  throw RuntimeError(Err::ResourceNotFound, std::to_string(lResId));
}

// The library's own resource of this identifier and type, or Err::ResourceNotFound. Identifiers
// outside 1 to 65535 name no resource.
HRSRC FindOwnResource(int32_t lResId, LPCSTR type) {
  const HMODULE module = OwnModuleHandle();
  HRSRC found = 0;
  if (module != 0 && lResId >= 1 && lResId <= 0xFFFF)
    found = FindResourceA(module, MAKEINTRESOURCEA(lResId), type);
  if (found == 0) ThrowNotFound(lResId);
  return found;
}

Bytes OwnResourceBytes(HRSRC resource) {
  const HMODULE module = OwnModuleHandle();
  const void* data = LockResource(LoadResource(module, resource));
  const DWORD size = SizeofResource(module, resource);
  if (data == nullptr) return {};
  return AsBytes(data, size);
}

}  // namespace

clsQ7Orvex10A::clsQ7Orvex10A(const ClassInfo& info) : Dispatchable(info) {
  CreateResourceTmpFolder();
}

ComPtr<IDispatch> clsQ7Orvex10A::GetProStdProperties() {
  return GetApplicationObject();
}

std::u16string clsQ7Orvex10A::GetProResStrings(int32_t lResId) {
  // Strings live in blocks of 16: block (id / 16) + 1 holds string id % 16.
  if (lResId < 0 || lResId > 0xFFFF) ThrowNotFound(lResId);
  const HRSRC block = FindOwnResource(lResId / 16 + 1, MAKEINTRESOURCEA(RT_STRING));
  ByteReader reader(OwnResourceBytes(block));
  for (int32_t i = 0; i < 16; ++i) {
    auto length = reader.Read<uint16_t>();
    if (!length) break;
    auto text = reader.ReadArray(*length, 2);
    if (!text) break;
    if (i == lResId % 16) {
      if (*length == 0) break;
      std::u16string out(*length, u'\0');
      std::memcpy(out.data(), text->data(), text->size());
      return out;
    }
  }
  ThrowNotFound(lResId);
}

ComPtr<IDispatch> clsQ7Orvex10A::GetProResPicture(int32_t lResId, int32_t lRestype) {
  if (lRestype < -32768 || lRestype > 32767) throw RuntimeError(Err::Overflow);
  WORD type = 0;
  switch (lRestype) {
    case 0:
      type = RT_BITMAP;
      break;
    case 1:
      type = RT_GROUP_ICON;
      break;
    case 2:
      type = RT_GROUP_CURSOR;
      break;
    default:
      throw RuntimeError(Err::InvalidProcedureCall);
  }
  (void)FindOwnResource(lResId, MAKEINTRESOURCEA(type));
  // The library carries no pictures, so no lookup above succeeds and no picture object is
  // ever made here.
  throw RuntimeError(Err::InvalidPicture);
}

Variant clsQ7Orvex10A::GetProResData(int32_t lResId, const VARIANT& vRestype) {
  const VARIANT& restype = vRestype.vt == (VT_BYREF | VT_VARIANT) ? *vRestype.pvarVal : vRestype;
  HRSRC resource = 0;
  if (restype.vt == VT_BSTR) {
    const std::string name = UnicodeToAnsi(BstrView(restype.bstrVal));
    resource = FindOwnResource(lResId, name.c_str());
  } else {
    // A type number; Null, objects and other non-numbers are a type mismatch.
    const int32_t type = Variant(restype).ToLong();
    if (type < 1 || type > 0xFFFF) ThrowNotFound(lResId);
    resource = FindOwnResource(lResId, MAKEINTRESOURCEA(type));
  }
  const Bytes bytes = OwnResourceBytes(resource);
  SafeArray array(SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size())));
  if (array == nullptr) throw RuntimeError(Err::OutOfMemory);
  if (!bytes.empty()) std::memcpy(array.Get()->pvData, bytes.data(), bytes.size());
  return Variant::FromArray(std::move(array));
}

int32_t clsQ7Orvex10A::About() {
  AppAboutQ7el_Pro();
  return 0;
}

ComPtr<IDispatch> clsQ7Orvex10A::BuddyObjectGlobal() {
  return GetThreadModuleState().BuddyObjectGlobal;
}

void clsQ7Orvex10A::SetBuddyObjectGlobal(ComPtr<IDispatch> object) {
  // The new object is in place before the old one's release runs any code of its own.
  ComPtr<IDispatch> old = std::move(GetThreadModuleState().BuddyObjectGlobal);
  GetThreadModuleState().BuddyObjectGlobal = std::move(object);
  old.Reset();
}

}  // namespace orvex
