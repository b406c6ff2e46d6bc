// clsQ7ResfResourceItemsA: the ordered collection of the resources of one type, one
// clsQ7ResfResourceItemA per resource name, positions 1 to Count, no keys.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/cls_q7_resf_resource_item_a.h"
#include "platform/ole/dispatch.h"
#include "platform/win32_types.h"

namespace orvex {

class clsQ7ResfResourceItemsA : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;

  // An IEnumVARIANT over the items in position order (a snapshot taken now).
  ComPtr<IUnknown> NewEnum();
  // AddinCollectionandClasses, returning 0 whatever that returned.
  int32_t Add(std::u16string_view sName, std::u16string_view sComments);
  // Appends an item: Index from ItemCount + 1 (Err::Overflow at the largest Long, nothing added),
  // NameLong and ID the name, Size from GetResourceSize(ThreadTypeId, name). Returns 1.
  int32_t AddinCollectionandClasses(std::u16string_view sName, std::u16string_view sComments);
  // Empties the list and restarts the numbering.
  void Clear();
  int32_t Count();
  // Removes the item at a position from 1 to Count; any other position does nothing.
  void Remove(int32_t Index);
  // The item at a position (the index rule of CollectionPosition); null after the box.
  ComPtr<clsQ7ResfResourceItemA> Item(const VARIANT& Index);
  // Does nothing: the items are filled by the type enumeration. Returns 0.
  int32_t EnumStartResourceItems();

  // The name callback's addition: as AddinCollectionandClasses, with the size looked up by
  // the exact name identifier the platform handed over (`name`, a number or an address
  // valid during the callback), so a resource named with digits gets its own size.
  void AddEnumeratedItem(const std::u16string& name, LPCSTR nameId);

 private:
  ComPtr<clsQ7ResfResourceItemA> Append(std::u16string_view name, std::u16string_view comments);

  std::vector<ComPtr<clsQ7ResfResourceItemA>> items_;
  int32_t ItemCount_ = 0;
};

// The size of a resource of the thread's module: a name text that reads as a number gets
// "#" in front (101 becomes #101); other names are used as they are. 0 when not found.
// A named `typeId` is looked up by the name it stands for (ThreadTypeName), never read as
// an address.
int32_t GetResourceSize(LONG typeId, std::u16string_view name);

}  // namespace orvex
