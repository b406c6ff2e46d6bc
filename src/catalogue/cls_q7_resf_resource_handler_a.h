// clsQ7ResfResourceHandlerA: a view of the thread's current catalogue.
#pragma once

#include "catalogue/cls_q7_resf_resource_types_a.h"
#include "platform/ole/dispatch.h"

namespace orvex {

class clsQ7ResfResourceHandlerA : public Dispatchable {
 public:
  // Start-up: CreateResourceTmpFolder.
  explicit clsQ7ResfResourceHandlerA(const ClassInfo& info);
  // Tear-down: empties ThreadCatalogue.
  ~clsQ7ResfResourceHandlerA() override;

  // The catalogue in ThreadCatalogue, created there first when the slot is empty.
  ComPtr<clsQ7ResfResourceTypesA> Resources();
  // Stores the catalogue (or Nothing, which empties the slot) in ThreadCatalogue.
  void SetResources(const ComPtr<clsQ7ResfResourceTypesA>& catalogue);
};

}  // namespace orvex
