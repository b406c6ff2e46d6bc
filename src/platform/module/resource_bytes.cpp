// FindResourceBytes over the resource functions, the same on both backends.
#include "platform/module/module.h"

namespace orvex {

Expected<Bytes> FindResourceBytes(HMODULE module, LPCSTR name, LPCSTR type) {
  const HRSRC resource = FindResourceA(module, name, type);
  if (!resource) return Error{GetLastError(), "no resource of that name"};
  const HGLOBAL data = LoadResource(module, resource);
  const void* view = data ? LockResource(data) : nullptr;
  if (!view) {
    return Error{data ? ERROR_RESOURCE_DATA_NOT_FOUND : GetLastError(),
                 "the resource's data lies outside its module"};
  }
  return Bytes(static_cast<const std::byte*>(view), SizeofResource(module, resource));
}

}  // namespace orvex
