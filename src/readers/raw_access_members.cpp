// The catalogue's raw access members: GetDataArray (the library's one way to read a
// resource's bytes), GetHexDump and GetHTML, glue between the thread's module and the
// renderers of hex_dump.h and html_text.h.
#include <cstring>
#include <optional>
#include <string>

#include "catalogue/bas_q7_resources_a.h"
#include "catalogue/cls_q7_resf_resource_types_a.h"
#include "platform/module/module.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/wrappers.h"
#include "platform/text/text.h"
#include "readers/hex_dump.h"
#include "readers/html_text.h"
#include "server/frame/bas_q7el_common_a.h"
#include "server/frame/thread_module_state.h"

namespace orvex {

Bytes DataArrayBytes(const VARIANT& dataArray) {
  return ByteArrayView(dataArray).Data();
}

Variant clsQ7ResfResourceTypesA::GetDataArray(std::u16string_view ResType,
                                              std::u16string_view ResName) {
  StepRunner step = ReportingSteps("GetDataArray");
  const HMODULE module = GetThreadModuleState().ThreadModuleHandle;
  Variant result;
  std::string name;
  step([&] { name = UnicodeToAnsi(ResName); });

  HRSRC resource = 0;
  if (ReadsAsNumber(ResType)) {
    // Rounded to the nearest integer; too large a number overflows and is reported.
    step([&] {
      const int32_t typeId = Variant(ResType).ToLong();
      // Only 1 to 65535 have an integer form; other numbers are tried as names only.
      if (typeId >= 1 && typeId <= 0xFFFF)
        resource = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(typeId));
    });
  }
  if (resource == 0) {
    step([&] {
      const std::string type = UnicodeToAnsi(ResType);
      resource = FindResourceA(module, name.c_str(), type.c_str());
    });
  }
  if (resource == 0) return result;

  HGLOBAL data = 0;
  const void* bytes = nullptr;
  DWORD size = 0;
  step([&] {
    data = LoadResource(module, resource);
    bytes = LockResource(data);
    size = SizeofResource(module, resource);
  });
  // No bytes to copy from is the same as none at all: never copy from a null view.
  if (size == 0 || bytes == nullptr) return result;

  SAFEARRAY* array = nullptr;
  step([&] {
    array = SafeArrayCreateVector(VT_UI1, 0, size);
    if (array == nullptr) throw RuntimeError(Err::OutOfMemory);
    result = Variant::FromArray(array);
  });
  step([&] {
    if (array == nullptr) throw RuntimeError(Err::SubscriptOutOfRange);
    std::memcpy(array->pvData, bytes, size);
  });
  (void)FreeResource(data);
  return result;
}

Bstr clsQ7ResfResourceTypesA::GetHexDump(std::u16string_view ResType, std::u16string_view ResName) {
  StepRunner step = ReportingSteps("GetHexDump");
  Variant data;
  step([&] { data = GetDataArray(ResType, ResName); });
  const Bytes bytes = DataArrayBytes(data);
  const std::optional<size_t> length = ReserveHexDump(bytes, step);
  Bstr text = Bstr::OfLength(length.value_or(0));
  if (length) WriteHexDump(bytes, *length, text.Data());
  return text;
}

Bstr clsQ7ResfResourceTypesA::GetHTML(std::u16string_view ResType, std::u16string_view ResName) {
  Variant data = GetDataArray(ResType, ResName);
  const Bytes bytes = DataArrayBytes(data);
  Bstr text = Bstr::OfLength(bytes.size());
  WriteHTML(bytes, text.Data());
  return text;
}

}  // namespace orvex
