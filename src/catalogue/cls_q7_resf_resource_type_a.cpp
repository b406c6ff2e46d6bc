#include "catalogue/cls_q7_resf_resource_type_a.h"

#include "catalogue/bas_q7_resources_a.h"
#include "catalogue/res_type_description.h"
#include "platform/text/text.h"
#include "server/frame/thread_module_state.h"

namespace orvex {

void clsQ7ResfResourceTypeA::LetStyle(int32_t value) {
  Style_ = value;
  ThreadModuleState& state = GetThreadModuleState();
  state.ThreadTypeId = value;
  if (IsNumberIdentifier(value)) {
    NameLong_ = ResTypeDescription(value);
    state.ThreadTypeName.clear();
    return;
  }
  if (LPCSTR name = HandedOutIdentifier(value)) {
    int32_t length = 0;
    NameLong_ = AnsiPtrToString(name, length);
    state.ThreadTypeName.assign(name, static_cast<size_t>(length));
    return;
  }
  // A value that no running enumeration handed over names nothing.
  NameLong_.clear();
  state.ThreadTypeName.clear();
}

}  // namespace orvex
