#include "catalogue/cls_q7_resf_resource_items_a.h"

#include <utility>

#include "catalogue/bas_q7_resources_a.h"
#include "platform/module/module.h"
#include "platform/ole/enum_variant.h"
#include "platform/text/text.h"
#include "server/frame/class_ids.h"
#include "server/frame/thread_module_state.h"

namespace orvex {

namespace {

// FindResourceA, LoadResource, SizeofResource and FreeResource in the thread's module, none
// checking the one before: a resource that isn't there gives 0.
int32_t SizeOfResource(LONG typeId, LPCSTR name) {
  ThreadModuleState& state = GetThreadModuleState();
  LPCSTR type = nullptr;
  if (IsNumberIdentifier(typeId)) {
    type = MAKEINTRESOURCEA(static_cast<uint32_t>(typeId));
  } else if (LPCSTR handed = HandedOutIdentifier(typeId)) {
    type = handed;
  } else if (typeId == state.ThreadTypeId && !state.ThreadTypeName.empty()) {
    type = state.ThreadTypeName.c_str();
  } else {
    return 0;  // an identifier that stands for no name we know
  }
  const HMODULE module = state.ThreadModuleHandle;
  HRSRC resource = FindResourceA(module, name, type);
  HGLOBAL data = LoadResource(module, resource);
  const DWORD size = SizeofResource(module, resource);
  (void)FreeResource(data);
  return static_cast<int32_t>(size);
}

}  // namespace

int32_t GetResourceSize(LONG typeId, std::u16string_view name) {
  std::string ansi = UnicodeToAnsi(name);
  if (ReadsAsNumber(name)) ansi.insert(ansi.begin(), '#');  // "#101" is the number 101
  return SizeOfResource(typeId, ansi.c_str());
}

ComPtr<IUnknown> clsQ7ResfResourceItemsA::NewEnum() {
  std::vector<Variant> values;
  values.reserve(items_.size());
  for (const auto& item : items_) values.emplace_back(item);
  return CreateEnumVARIANT(std::move(values), ComPtr<IUnknown>(static_cast<IDispatch*>(this)));
}

int32_t clsQ7ResfResourceItemsA::Add(std::u16string_view sName, std::u16string_view sComments) {
  (void)AddinCollectionandClasses(sName, sComments);
  return 0;
}

ComPtr<clsQ7ResfResourceItemA> clsQ7ResfResourceItemsA::Append(std::u16string_view name,
                                                               std::u16string_view comments) {
  const int32_t index = IncrementedCount(ItemCount_);
  ComPtr<clsQ7ResfResourceItemA> item =
      NewRecord<clsQ7ResfResourceItemA>(CLSID_clsQ7ResfResourceItemA);
  ItemCount_ = index;
  item->LetIndex(index);
  item->LetComments(comments);
  item->LetNameLong(name);
  item->LetID(name);
  return item;
}

int32_t clsQ7ResfResourceItemsA::AddinCollectionandClasses(std::u16string_view sName,
                                                           std::u16string_view sComments) {
  ComPtr<clsQ7ResfResourceItemA> item = Append(sName, sComments);
  item->LetSize(GetResourceSize(GetThreadModuleState().ThreadTypeId, sName));
  items_.push_back(std::move(item));
  return 1;
}

void clsQ7ResfResourceItemsA::AddEnumeratedItem(const std::u16string& name, LPCSTR nameId) {
  ComPtr<clsQ7ResfResourceItemA> item = Append(name, u"");
  item->LetSize(SizeOfResource(GetThreadModuleState().ThreadTypeId, nameId));
  items_.push_back(std::move(item));
}

void clsQ7ResfResourceItemsA::Clear() {
  std::vector<ComPtr<clsQ7ResfResourceItemA>> old;
  old.swap(items_);  // released after the collection is already empty
  ItemCount_ = 0;
}

int32_t clsQ7ResfResourceItemsA::Count() {
  return static_cast<int32_t>(items_.size());
}

void clsQ7ResfResourceItemsA::Remove(int32_t Index) {
  if (Index < 1 || static_cast<size_t>(Index) > items_.size()) return;
  ComPtr<clsQ7ResfResourceItemA> removed = std::move(items_[static_cast<size_t>(Index) - 1]);
  items_.erase(items_.begin() + (Index - 1));
}

ComPtr<clsQ7ResfResourceItemA> clsQ7ResfResourceItemsA::Item(const VARIANT& Index) {
  std::optional<size_t> position = CollectionPosition(Index, items_.size());
  if (!position) return nullptr;
  return items_[*position];
}

int32_t clsQ7ResfResourceItemsA::EnumStartResourceItems() {
  return 0;
}

}  // namespace orvex
