#include "catalogue/cls_q7_resf_resource_handler_a.h"

#include "server/frame/resource_tmp_folder.h"

namespace orvex {

clsQ7ResfResourceHandlerA::clsQ7ResfResourceHandlerA(const ClassInfo& info) : Dispatchable(info) {
  CreateResourceTmpFolder();
}

clsQ7ResfResourceHandlerA::~clsQ7ResfResourceHandlerA() {
  EmptyThreadCatalogue();
}

ComPtr<clsQ7ResfResourceTypesA> clsQ7ResfResourceHandlerA::Resources() {
  return ThreadCatalogueOrNew();
}

void clsQ7ResfResourceHandlerA::SetResources(const ComPtr<clsQ7ResfResourceTypesA>& catalogue) {
  StoreThreadCatalogue(catalogue.Get());
}

}  // namespace orvex
