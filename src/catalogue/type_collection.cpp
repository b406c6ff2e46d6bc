// The catalogue's collection of type records and the enumeration that fills it.
#include <utility>

#include "catalogue/bas_q7_resources_a.h"
#include "catalogue/cls_q7_resf_resource_types_a.h"
#include "platform/text/text.h"
#include "server/frame/class_ids.h"
#include "server/frame/thread_module_state.h"

namespace orvex {

void clsQ7ResfResourceTypesA::AddResourceType(LONG typeId, std::u16string_view comment) {
  const int32_t index = IncrementedCount(TypeCount_);
  TypeCount_ = index;
  GetThreadModuleState().ThreadTypeIndex = index;
  ComPtr<clsQ7ResfResourceTypeA> record =
      NewRecord<clsQ7ResfResourceTypeA>(CLSID_clsQ7ResfResourceTypeA);
  record->LetIndex(index);
  record->LetStyle(typeId);
  record->LetComments(comment);
  record->SetResourceItems(NewRecord<clsQ7ResfResourceItemsA>(CLSID_clsQ7ResfResourceItemsA));
  types_.push_back(std::move(record));
}

clsQ7ResfResourceTypeA* clsQ7ResfResourceTypesA::TypeRecordByIndex(int32_t index) const {
  for (auto it = types_.rbegin(); it != types_.rend(); ++it) {
    if ((*it)->Index() == index) return it->Get();
  }
  return nullptr;
}

int32_t clsQ7ResfResourceTypesA::Add(int32_t lRestype, std::u16string_view sComments) {
  AddResourceType(lRestype, sComments);
  return 0;
}

int32_t clsQ7ResfResourceTypesA::EnumResourceTypesStart() {
  EnumModuleResTypes(false);
  return 0;
}

int32_t clsQ7ResfResourceTypesA::EnumResourceTypesStop() {
  EnumModuleResTypes(true);
  return 0;
}

void clsQ7ResfResourceTypesA::Clear() {
  std::vector<ComPtr<clsQ7ResfResourceTypeA>> old;
  old.swap(types_);  // released after the collection is already empty
  TypeCount_ = 0;
}

int32_t clsQ7ResfResourceTypesA::Count() {
  return static_cast<int32_t>(types_.size());
}

ComPtr<clsQ7ResfResourceTypeA> clsQ7ResfResourceTypesA::Item(const VARIANT& Index) {
  std::optional<size_t> position = CollectionPosition(Index, types_.size());
  if (!position) return nullptr;
  return types_[*position];
}

void clsQ7ResfResourceTypesA::Remove(int32_t Index) {
  if (Index < 1 || static_cast<size_t>(Index) > types_.size()) return;
  ComPtr<clsQ7ResfResourceTypeA> removed = std::move(types_[static_cast<size_t>(Index) - 1]);
  types_.erase(types_.begin() + (Index - 1));
}

int32_t clsQ7ResfResourceTypesA::FindIndexByName(std::u16string_view sName) {
  for (const auto& record : types_) {
    if (EqualsIgnoringCase(record->NameLong(), sName)) return record->Index();
  }
  return 0;
}

}  // namespace orvex
