#include "server/frame/application_object.h"

#include "platform/ole/class_registry.h"
#include "platform/ole/dispatch.h"
#include "platform/text/text.h"
#include "server/frame/library_version.h"
#include "server/frame/own_module.h"
#include "server/frame/thread_module_state.h"

namespace orvex {

namespace {

class ApplicationObject final : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;

  std::u16string Name() { return kLibraryTitle; }
  std::u16string Path() {
    std::string file = ModulePathOf(reinterpret_cast<const void*>(&GetApplicationObject));
    size_t slash = file.rfind('/');
    return Utf8ToUtf16(slash == std::string::npos ? std::string(".") : file.substr(0, slash));
  }
  std::u16string Title() { return kLibraryTitle; }
  int32_t Major() { return kLibraryMajor; }
  int32_t Minor() { return kLibraryMinor; }
  int32_t Revision() { return kLibraryRevision; }
  std::u16string Comments() { return kLibraryComments; }
  std::u16string CompanyName() { return kLibraryCompanyName; }
  std::u16string FileDescription() { return kLibraryFileDescription; }
  std::u16string LegalCopyright() { return kLibraryLegalCopyright; }
  std::u16string LegalTrademarks() { return kLibraryLegalTrademarks; }
  std::u16string ProductName() { return kLibraryProductName; }
  // The module that holds the library's own resources.
  int32_t hInstance() { return static_cast<int32_t>(OwnModuleHandle()); }
};

#define ORVEX_APP_MEMBER(name, id, type) \
  { #name, MemberKind::Get, id, {}, types::type, Bind < &ApplicationObject::name>() }

const MemberDesc kAppMembers[] = {
    ORVEX_APP_MEMBER(Name, 1, String),
    ORVEX_APP_MEMBER(Path, 2, String),
    ORVEX_APP_MEMBER(Title, 3, String),
    ORVEX_APP_MEMBER(Major, 4, Long),
    ORVEX_APP_MEMBER(Minor, 5, Long),
    ORVEX_APP_MEMBER(Revision, 6, Long),
    ORVEX_APP_MEMBER(Comments, 7, String),
    ORVEX_APP_MEMBER(CompanyName, 8, String),
    ORVEX_APP_MEMBER(FileDescription, 9, String),
    ORVEX_APP_MEMBER(LegalCopyright, 10, String),
    ORVEX_APP_MEMBER(LegalTrademarks, 11, String),
    ORVEX_APP_MEMBER(ProductName, 12, String),
    ORVEX_APP_MEMBER(hInstance, 13, Long),
};

#undef ORVEX_APP_MEMBER

const ClassInfo& AppInfo() {
  static const ClassInfo info({"App", "", MakeGuid("{5C7E3E51-0D8A-4C36-9E54-6A1B2C3D4E01}"),
                               "_App", MakeGuid("{5C7E3E51-0D8A-4C36-9E54-6A1B2C3D4E02}")},
                              kAppMembers, &CreateOf<ApplicationObject>);
  return info;
}

}  // namespace

ComPtr<IDispatch> GetApplicationObject() {
  ThreadModuleState& state = GetThreadModuleState();
  if (!state.ApplicationObject)
    state.ApplicationObject = ComPtr<IDispatch>::Attach(AppInfo().Create());
  return state.ApplicationObject;
}

}  // namespace orvex
