// Type records and type naming: Style names a record, and only an identifier handed to a
// running enumeration is ever read as the address of a name.
#include <gtest/gtest.h>

#include "catalogue/bas_q7_resources_a.h"
#include "catalogue/catalogue_test_support.h"
#include "catalogue/res_type_description.h"
#include "server/frame/thread_module_state.h"

namespace orvex::test {
namespace {

class TypeRecordTest : public CatalogueTest {
 protected:
  ComPtr<IDispatch> NewRecordObject() { return CreateObject(u"Orvex10.clsQ7ResfResourceTypeA"); }
};

TEST_F(TypeRecordTest, StyleNamesNumberedTypesAndKeepsComments) {
  const struct {
    int32_t style;
    const char16_t* name;
  } cases[] = {
      {3, u"Hardware-dependent icon resource"},
      {10, u"Application-defined resource (raw data)"},
      {17, u"Header file that contains menu and dialog box #define statements"},
      {23, u"HTML document"},
      {24, u"User-defined custom resource"},
      {13, u"User-defined custom resource"},
      {0, u"User-defined custom resource"},
      {0xFFFF, u"User-defined custom resource"},
  };
  ComPtr<IDispatch> record = NewRecordObject();
  PutProperty(record.Get(), "Comments", Variant(u"kept"));
  for (const auto& c : cases) {
    PutProperty(record.Get(), "Style", Variant(c.style));
    EXPECT_EQ(Text(Get(record.Get(), "NameLong")), c.name) << c.style;
    EXPECT_EQ(Get(record.Get(), "Style").ToLong(), c.style);
    EXPECT_EQ(GetThreadModuleState().ThreadTypeId, c.style);
  }
  EXPECT_EQ(Text(Get(record.Get(), "Comments")), u"kept");
  EXPECT_FALSE(GetObject(record.Get(), "ResourceItems"));
}

// A value above 0xFFFF that no enumeration handed over is never dereferenced.
TEST_F(TypeRecordTest, StyleOfAMadeUpNameIdentifierNamesNothing) {
  ComPtr<IDispatch> record = NewRecordObject();
  for (int32_t value : {0x10000, 0x12345678, -1, INT32_MIN}) {
    PutProperty(record.Get(), "NameLong", Variant(u"before"));
    PutProperty(record.Get(), "Style", Variant(value));
    EXPECT_EQ(Text(Get(record.Get(), "NameLong")), u"") << value;
    EXPECT_EQ(Get(record.Get(), "Style").ToLong(), value);
    EXPECT_EQ(GetThreadModuleState().ThreadTypeId, value);
  }
  EXPECT_EQ(HandedOutIdentifier(0x12345678), nullptr);
}

TEST_F(TypeRecordTest, RecordPropertiesStoreWhatIsAssigned) {
  ComPtr<IDispatch> record = NewRecordObject();
  PutProperty(record.Get(), "Index", Variant(int32_t{-7}));
  PutProperty(record.Get(), "NameLong", Variant(u"x"));
  ComPtr<IDispatch> items = CreateObject(u"Orvex10.clsQ7ResfResourceItemsA");
  PutPropertyRef(record.Get(), "ResourceItems", Variant(items));
  EXPECT_EQ(Get(record.Get(), "Index").ToLong(), -7);
  EXPECT_EQ(Text(Get(record.Get(), "NameLong")), u"x");
  EXPECT_EQ(GetObject(record.Get(), "ResourceItems").Get(), items.Get());
  PutPropertyRef(record.Get(), "ResourceItems", Variant(static_cast<IDispatch*>(nullptr)));
  EXPECT_FALSE(GetObject(record.Get(), "ResourceItems"));
  // Another class is not an item collection.
  EXPECT_EQ(ErrorOf([&] { PutPropertyRef(record.Get(), "ResourceItems", Variant(record)); }), 13);
}

TEST(TypeNamingTest, TrimAtNullAndAnsiPtrToString) {
  EXPECT_EQ(TrimAtNull(u"abc"), u"abc");
  EXPECT_EQ(TrimAtNull(std::u16string(u"\0abc", 4)), u"");
  EXPECT_EQ(TrimAtNull(std::u16string(u"ab\0c", 4)), u"ab");

  int32_t length = 0;
  EXPECT_EQ(AnsiPtrToString("abc", length), u"abc");
  EXPECT_EQ(length, 3);
  length = 5;
  EXPECT_EQ(AnsiPtrToString("abc", length), std::u16string(u"abc\0\0", 5));
  EXPECT_EQ(length, 5);
  // A given length shorter than the text bounds the copy.
  length = 2;
  EXPECT_EQ(AnsiPtrToString("abcdef", length), u"ab");
  length = 0;
  EXPECT_EQ(AnsiPtrToString("caf\xE9", length), u"caf\u00E9");  // Windows-1252
  EXPECT_EQ(ResTypeDescription(14), u"Hardware-independent icon resource");
}

}  // namespace
}  // namespace orvex::test
