// clsQ7ResfResourceItemA: one resource of a type — its position number, a comment, its name
// as text (numbers as plain decimal digits), the same text as ID, and its size in bytes.
// Plain storage: every property returns what was assigned.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ole/dispatch.h"

namespace orvex {

class clsQ7ResfResourceItemA : public Dispatchable {
 public:
  using Dispatchable::Dispatchable;

  int32_t Index() { return Index_; }
  void LetIndex(int32_t value) { Index_ = value; }
  std::u16string Comments() { return Comments_; }
  void LetComments(std::u16string_view value) { Comments_ = value; }
  std::u16string NameLong() { return NameLong_; }
  void LetNameLong(std::u16string_view value) { NameLong_ = value; }
  std::u16string ID() { return ID_; }
  void LetID(std::u16string_view value) { ID_ = value; }
  int32_t Size() { return Size_; }
  void LetSize(int32_t value) { Size_ = value; }

 private:
  int32_t Index_ = 0;
  std::u16string Comments_;
  std::u16string NameLong_;
  std::u16string ID_;
  int32_t Size_ = 0;
};

}  // namespace orvex
