#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "base/expected.h"
#include "base/runtime_error.h"

namespace orvex {
namespace {

// Clients and their error handlers read these numbers and texts; they must not drift.
TEST(RunTimeErrors, NamedErrorsCarryTheirNumberAndText) {
  const struct {
    Err error;
    int32_t number;
    const char* text;
  } cases[] = {
      {Err::InvalidProcedureCall, 5, "Invalid procedure call or argument"},
      {Err::Overflow, 6, "Overflow"},
      {Err::OutOfMemory, 7, "Out of memory"},
      {Err::SubscriptOutOfRange, 9, "Subscript out of range"},
      {Err::TypeMismatch, 13, "Type mismatch"},
      {Err::BadFileNameOrNumber, 52, "Bad file name or number"},
      {Err::FileNotFound, 53, "File not found"},
      {Err::PathFileAccessError, 75, "Path/File access error"},
      {Err::PathNotFound, 76, "Path not found"},
      {Err::CantCreateObject, 429, "Can't create object"},
      {Err::ActionNotSupported, 445, "Object doesn't support this action"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    EXPECT_EQ(ErrNumber(c.error), c.number);
    EXPECT_STREQ(ErrText(c.error), c.text);
    EXPECT_STREQ(ErrText(c.number), c.text);
    const RuntimeError error(c.error);
    EXPECT_EQ(error.Number(), c.number);
    EXPECT_EQ(error.Description(), c.text);
  }
}

TEST(RunTimeErrors, EveryNumberHasOneTextOfItsOwn) {
  std::set<int32_t> numbers;
  std::set<std::string> texts;
  for (const ErrEntry& entry : kErrTable) {
    const int32_t number = ErrNumber(entry.error);
    EXPECT_TRUE(numbers.insert(number).second) << number;
    EXPECT_TRUE(texts.insert(entry.text).second) << entry.text;
    EXPECT_STREQ(ErrText(number), entry.text);
    EXPECT_STRNE(entry.text, kUnnamedErrText);
  }
  EXPECT_STREQ(ErrText(0), "Application-defined or object-defined error");
  EXPECT_STREQ(ErrText(1000), "Application-defined or object-defined error");
}

TEST(RunTimeErrors, DetailCompletesTheText) {
  EXPECT_EQ(RuntimeError(Err::ActionNotSupported, "clsX.Later is not implemented").Description(),
            "Object doesn't support this action (clsX.Later is not implemented)");
  EXPECT_EQ(RuntimeError(Err::ResourceNotFound, "7").Description(),
            "Resource with identifier '7' not found");
  EXPECT_EQ(RuntimeError(Err::FileNotFound, "").Description(), "File not found");

  const RuntimeError sourced(Err::Overflow, {}, "clsQ7ResfResourceTypesA.GetString");
  EXPECT_EQ(sourced.Number(), 6);
  EXPECT_EQ(sourced.Description(), "Overflow");
  EXPECT_EQ(sourced.Source(), "clsQ7ResfResourceTypesA.GetString");
}

Expected<int> Refused(uint32_t code) {
  return Error{code, "cannot open x.dll"};
}

Expected<std::string> Forwarded(uint32_t code) {
  ORVEX_TRY(Refused(code));
  return std::string("opened");
}

Expected<void> WithContext(uint32_t code) {
  auto forwarded = Forwarded(code);
  if (!forwarded) return forwarded.GetError().In("module");
  return {};
}

// A platform failure keeps its code as context is added and as ORVEX_TRY passes it on;
// errors of the bytes themselves have none.
TEST(ErrorCode, TravelsWithTheErrorAsItRises) {
  for (const uint32_t code : {0u, 2u, 126u, 193u}) {
    SCOPED_TRACE(code);
    const Error error = WithContext(code).GetError();
    EXPECT_EQ(error.code, code);
    EXPECT_EQ(error.message, "module: cannot open x.dll");
    EXPECT_EQ(error.In("load").code, code);
  }
  EXPECT_EQ(Error{"text runs past the end"}.code, 0u);
  EXPECT_EQ(Error{"text runs past the end"}.In("item 3").message, "item 3: text runs past the end");
}

}  // namespace
}  // namespace orvex
