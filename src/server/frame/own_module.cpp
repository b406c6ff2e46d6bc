#include "server/frame/own_module.h"

#include "platform/module/module.h"

namespace orvex {

extern const uint8_t kOwnResourceImage[];
extern const size_t kOwnResourceImageSize;

Bytes OwnResourceImage() {
  return AsBytes(kOwnResourceImage, kOwnResourceImageSize);
}

HMODULE OwnModuleHandle() {
  static const HMODULE module = LoadOwnResourceModule(kOwnResourceImage, OwnResourceImage());
  return module;
}

}  // namespace orvex
