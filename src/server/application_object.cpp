#include "server/application_object.h"

#include "platform/ole/class_registry.h"
#include "platform/ole/dispatch.h"
#include "platform/text/text.h"
#include "server/thread_module_state.h"

namespace orvex {

namespace {

class ApplicationObject final : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;

  std::u16string Name() { return u"Orvex10"; }
  std::u16string Path() {
    std::string file = ModulePathOf(reinterpret_cast<const void*>(&GetApplicationObject));
    size_t slash = file.rfind('/');
    return Utf8ToUtf16(slash == std::string::npos ? std::string(".") : file.substr(0, slash));
  }
  std::u16string Title() { return u"Orvex10"; }
  int32_t Major() { return 1; }
  int32_t Minor() { return 0; }
  int32_t Revision() { return 0; }
  std::u16string Comments() { return u"Resources of Windows module files as automation objects"; }
  std::u16string CompanyName() { return u"Orvex10 project"; }
  std::u16string FileDescription() { return u"Orvex10 resource automation library"; }
  std::u16string LegalCopyright() { return u""; }
  std::u16string LegalTrademarks() { return u""; }
  std::u16string ProductName() { return u"Orvex10"; }
  int32_t hInstance() { return 0; }
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
