// Picture files of every format the loader reads: load from memory, read the members a
// host reads, release.
#include <cstddef>
#include <cstdint>

#include "platform/ole/late_bound.h"
#include "platform/ole/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orvex::IDispatch* picture = nullptr;
  const orvex::HRESULT hr =
      orvex::LoadPictureFromBytes(std::as_bytes(std::span<const uint8_t>(data, size)), &picture);
  if ((hr >= 0) != (picture != nullptr)) __builtin_trap();
  if (!picture) return 0;
  for (orvex::DISPID id : {orvex::DISPID_PICT_TYPE, orvex::DISPID_PICT_WIDTH,
                           orvex::DISPID_PICT_HEIGHT, orvex::DISPID_PICT_HANDLE}) {
    orvex::InvokeById(picture, id, orvex::DISPATCH_PROPERTYGET, {});
  }
  picture->Release();
  return 0;
}
