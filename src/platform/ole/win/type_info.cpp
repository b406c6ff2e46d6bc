// Type information on the platform: the default interface's ITypeInfo from the type library
// that the module holding the class table carries as its TYPELIB resource (linked in at
// build time from the same table), so early-bound clients and the dispatch table agree.
// A class whose module carries no type library has none.
#include <cstring>
#include <mutex>
#include <string>

#include "platform/ole/class_registry.h"
#include "platform/ole/dispatch.h"
#include "platform/text/text.h"

#include "platform/core/win/windows_sdk.h"

namespace orvex {

class ClassInfo::TypeInfoImpl {
 public:
  explicit TypeInfoImpl(const ClassInfo& info) : info_(info) {}
  ~TypeInfoImpl() {
    if (typeInfo_ != nullptr) typeInfo_->Release();
  }
  TypeInfoImpl(const TypeInfoImpl&) = delete;
  TypeInfoImpl& operator=(const TypeInfoImpl&) = delete;

  ::ITypeInfo* Get() {
    std::call_once(loaded_, [this] { typeInfo_ = Load(); });
    return typeInfo_;
  }

 private:
  ::ITypeInfo* Load() const {
    const std::u16string path = AnsiToUnicode(ModulePathOf(&info_));
    if (path.empty()) return nullptr;
    ::ITypeLib* library = nullptr;
    if (FAILED(::LoadTypeLibEx(reinterpret_cast<const wchar_t*>(path.c_str()), REGKIND_NONE,
                               &library)))
      return nullptr;
    ::ITypeInfo* found = nullptr;
    ::GUID iid;
    static_assert(sizeof iid == sizeof(IID));
    std::memcpy(&iid, &info_.Iid(), sizeof iid);
    if (FAILED(library->GetTypeInfoOfGuid(iid, &found))) found = nullptr;
    library->Release();
    return found;
  }

  const ClassInfo& info_;
  std::once_flag loaded_;
  ::ITypeInfo* typeInfo_ = nullptr;
};

void ClassInfo::BuildTypeInfo() {
  typeInfo_ = {new TypeInfoImpl(*this), [](TypeInfoImpl* p) { delete p; }};
}

ClassInfo::~ClassInfo() = default;

ITypeInfo* ClassInfo::TypeInfo() const {
  // The platform's ITypeInfo begins with IUnknown's slots like this layer's declaration;
  // callers here only count references on it and hand it on to clients.
  return reinterpret_cast<ITypeInfo*>(typeInfo_->Get());
}

}  // namespace orvex
