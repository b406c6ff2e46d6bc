// What the picture object and the picture-file loader share.
#pragma once

#include <vector>

#include "platform/ole/picture.h"

namespace orvex {

// A picture of `type` over `handle` (destroyed with the last reference when `own`), sized
// in HiMetric, returned as `riid`.
HRESULT MakePicture(SHORT type, uint32_t handle, bool own, LONG width, LONG height, REFIID riid,
                    void** object);

// Metafiles read from picture files: their bytes behind a handle of their own (they are
// recognised and sized, not drawn).
uint32_t AddMetafileHandle(std::vector<uint8_t> bytes);
void DeleteMetafileHandle(uint32_t handle);

}  // namespace orvex
