// The catalogue's text members: GetString, GetMessageTable, GetVersionInfo, GetMenuText and
// GetAccelerators, glue between the thread's module, GetDataArray of the same object and
// the renderers of string_table.h, message_table.h, version_text.h, menu_text.h and
// accelerators.h. Each runs its steps under the catalogue's reporting convention.
#include <string>

#include "catalogue/cls_q7_resf_resource_types_a.h"
#include "platform/module/module.h"
#include "readers/accelerators.h"
#include "readers/menu_text.h"
#include "readers/message_table.h"
#include "readers/string_table.h"
#include "readers/version_text.h"
#include "server/frame/bas_q7el_common_a.h"
#include "server/frame/thread_module_state.h"

namespace orvex {

std::u16string clsQ7ResfResourceTypesA::GetString(std::u16string_view ResName) {
  StepRunner step = ReportingSteps("GetString");
  Variant data;
  step([&] { data = GetDataArray(u"6", ResName); });
  return orvex::GetString(DataArrayBytes(data), ResName, step);
}

std::u16string clsQ7ResfResourceTypesA::GetMessageTable(std::u16string_view ResName) {
  StepRunner step = ReportingSteps("GetMessageTable");
  Variant data;
  step([&] { data = GetDataArray(u"11", ResName); });
  return orvex::GetMessageTable(DataArrayBytes(data), step);
}

std::u16string clsQ7ResfResourceTypesA::GetVersionInfo() {
  StepRunner step = ReportingSteps("GetVersionInfo");
  // The module's path in a 260-character buffer, cut at its first NUL.
  std::string fileName;
  step([&] {
    char buffer[260] = {};
    (void)GetModuleFileNameA(GetThreadModuleState().ThreadModuleHandle, buffer, sizeof buffer);
    fileName.assign(buffer, sizeof buffer);
    fileName.resize(fileName.find('\0') == std::string::npos ? fileName.size()
                                                             : fileName.find('\0'));
  });
  return orvex::GetVersionInfo(fileName, step);
}

std::u16string clsQ7ResfResourceTypesA::GetMenuText(std::u16string_view ResName) {
  StepRunner step = ReportingSteps("GetMenuText");
  ThreadModuleState& state = GetThreadModuleState();
  return orvex::GetMenuText(state.ThreadModuleHandle, ResName, state.ThreadMenuText, step);
}

std::u16string clsQ7ResfResourceTypesA::GetAccelerators(std::u16string_view ResName) {
  StepRunner step = ReportingSteps("GetAccelerators");
  Variant data;
  step([&] { data = GetDataArray(u"9", ResName); });
  return orvex::GetAccelerators(DataArrayBytes(data), step);
}

}  // namespace orvex
