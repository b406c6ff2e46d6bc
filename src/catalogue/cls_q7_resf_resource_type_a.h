// clsQ7ResfResourceTypeA: one resource type of a module — its position number, display
// name, a comment, its type identifier (Style) and the collection of its resources.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/cls_q7_resf_resource_items_a.h"
#include "platform/ole/dispatch.h"

namespace orvex {

class clsQ7ResfResourceTypeA : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;

  int32_t Index() { return Index_; }
  void LetIndex(int32_t value) { Index_ = value; }
  std::u16string NameLong() { return NameLong_; }
  void LetNameLong(std::u16string_view value) { NameLong_ = value; }
  std::u16string Comments() { return Comments_; }
  void LetComments(std::u16string_view value) { Comments_ = value; }

  // The stored type identifier; for a named type, the value that stood for its name during
  // the enumeration (the name itself is in NameLong).
  int32_t Style() { return Style_; }
  // Stores the identifier and makes it the thread's ThreadTypeId. A type number names the
  // record with ResTypeDescription; a value above 0xFFFF names it with the text it stands
  // for, which only the identifier handed to the running type callback has: any other
  // such value gives the empty name and is never read as an address. Comments stay.
  void LetStyle(int32_t value);

  // The item collection; null until assigned.
  ComPtr<clsQ7ResfResourceItemsA> ResourceItems() { return ResourceItems_; }
  void SetResourceItems(ComPtr<clsQ7ResfResourceItemsA> value) {
    ResourceItems_ = std::move(value);
  }

  // For C++ callers: the collection without a new reference.
  clsQ7ResfResourceItemsA* Items() const { return ResourceItems_.Get(); }

 private:
  int32_t Index_ = 0;
  std::u16string NameLong_;
  std::u16string Comments_;
  int32_t Style_ = 0;
  ComPtr<clsQ7ResfResourceItemsA> ResourceItems_;
};

}  // namespace orvex
