#include "server/cls_q7_orvex10_a.h"

#include "server/application_object.h"
#include "server/bas_q7el_common_a.h"
#include "server/resource_tmp_folder.h"
#include "server/thread_module_state.h"

namespace orvex {

clsQ7Orvex10A::clsQ7Orvex10A(const ClassInfo& info) : Dispatchable(info) {
  CreateResourceTmpFolder();
}

ComPtr<IDispatch> clsQ7Orvex10A::GetProStdProperties() {
  return GetApplicationObject();
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
