// The type collection of the catalogue and the item collections: the Item index rule,
// Remove, Clear, FindIndexByName, Add, and the item size lookup through ThreadTypeId.
#include <gtest/gtest.h>

#include "catalogue/catalogue_test_support.h"
#include "platform/user/message_box.h"

namespace orvex::test {
namespace {

class CollectionsTest : public CatalogueTest {};

// Both collections follow one rule; each case runs on a collection of two records.
TEST_F(CollectionsTest, ItemIndexRules) {
  ComPtr<IDispatch> catalogue = NewCatalogue();
  Call(catalogue.Get(), "Add", {Variant(int32_t{2}), Variant(u"")});
  Call(catalogue.Get(), "Add", {Variant(int32_t{3})});
  ComPtr<IDispatch> items = CreateObject(u"Orvex10.clsQ7ResfResourceItemsA");
  Call(items.Get(), "Add", {Variant(u"a")});
  Call(items.Get(), "Add", {Variant(u"b")});

  const struct {
    const char* what;
    Variant index;
    int32_t error;  // 0: no error
    int32_t found;  // the Index of the record returned; 0: none, with the box
  } cases[] = {
      {"1", Variant(int32_t{1}), 0, 1},
      {"2 as double", Variant(2.0), 0, 2},
      {"1.6 rounds", Variant(1.6), 0, 2},
      {"2 as Integer", Variant(int16_t{2}), 0, 2},
      {"0", Variant(int32_t{0}), 0, 0},
      {"-1", Variant(int32_t{-1}), 0, 0},
      {"Count + 1", Variant(int32_t{3}), 0, 0},
      {"2.5 is past Count", Variant(2.5), 0, 0},
      {"empty", Variant(), 0, 0},
      {"null", Variant::Null(), 0, 0},
      {"True", Variant(true), 0, 0},
      {"text abc", Variant(u"abc"), 13, 0},
      {"text 1", Variant(u"1"), 5, 0},
      {"text 7", Variant(u"7"), 0, 0},
  };
  for (IDispatch* collection : {catalogue.Get(), items.Get()}) {
    for (const auto& c : cases) {
      boxes_.Clear();
      ComPtr<IDispatch> got;
      EXPECT_EQ(ErrorOf([&] { got = ItemOf(collection, c.index); }), c.error) << c.what;
      if (c.found != 0) {
        ASSERT_TRUE(got) << c.what;
        EXPECT_EQ(Get(got.Get(), "Index").ToLong(), c.found) << c.what;
        EXPECT_EQ(boxes_.Count(), 0u) << c.what;
      } else {
        EXPECT_FALSE(got) << c.what;
        EXPECT_EQ(IndexBoxes(), c.error == 0 ? 1u : 0u) << c.what;
      }
    }
  }
  boxes_.Clear();
  ItemOf(catalogue.Get(), Variant(int32_t{9}));
  ASSERT_EQ(boxes_.Count(), 1u);
  const MessageBoxCall box = boxes_.Calls()[0];
  EXPECT_EQ(box.text, "Invalid index or index not exists.");
  EXPECT_EQ(box.caption, "Index Error...");
  EXPECT_EQ(box.style, MB_OK | MB_ICONEXCLAMATION);
}

TEST_F(CollectionsTest, NewCatalogueIsEmpty) {
  ComPtr<IDispatch> catalogue = NewCatalogue();
  EXPECT_EQ(CountOf(catalogue.Get()), 0);
  EXPECT_FALSE(ItemOf(catalogue.Get(), Variant(int32_t{1})));
  EXPECT_EQ(IndexBoxes(), 1u);
}

TEST_F(CollectionsTest, AddRemoveClearAndFindOnTheCatalogue) {
  ComPtr<IDispatch> catalogue = NewCatalogue();
  EXPECT_EQ(Call(catalogue.Get(), "Add", {Variant(int32_t{10}), Variant(u"raw")}).ToLong(), 0);
  Call(catalogue.Get(), "Add", {Variant(int32_t{2})});
  Call(catalogue.Get(), "Add", {Variant(int32_t{24})});

  ComPtr<IDispatch> first = ItemOf(catalogue.Get(), Variant(int32_t{1}));
  EXPECT_EQ(Get(first.Get(), "Style").ToLong(), 10);
  EXPECT_EQ(Text(Get(first.Get(), "NameLong")), u"Application-defined resource (raw data)");
  EXPECT_EQ(Text(Get(first.Get(), "Comments")), u"raw");
  ComPtr<IDispatch> firstItems = GetObject(first.Get(), "ResourceItems");
  ASSERT_TRUE(firstItems);
  EXPECT_EQ(CountOf(firstItems.Get()), 0);

  EXPECT_EQ(Call(catalogue.Get(), "FindIndexByName", {Variant(u"bitmap RESOURCE")}).ToLong(), 2);
  EXPECT_EQ(Call(catalogue.Get(), "FindIndexByName", {Variant(u"no such type")}).ToLong(), 0);

  // Out of range: nothing changes, nothing is shown.
  Call(catalogue.Get(), "Remove", {Variant(int32_t{0})});
  Call(catalogue.Get(), "Remove", {Variant(int32_t{4})});
  EXPECT_EQ(CountOf(catalogue.Get()), 3);
  EXPECT_EQ(boxes_.Count(), 0u);

  Call(catalogue.Get(), "Remove", {Variant(int32_t{1})});
  EXPECT_EQ(CountOf(catalogue.Get()), 2);
  ComPtr<IDispatch> moved = ItemOf(catalogue.Get(), Variant(int32_t{1}));
  EXPECT_EQ(Get(moved.Get(), "Index").ToLong(), 2);  // Index values never change
  EXPECT_EQ(Call(catalogue.Get(), "FindIndexByName", {Variant(u"Bitmap resource")}).ToLong(), 2);

  // Numbering goes on after a Remove and restarts after Clear.
  Call(catalogue.Get(), "Add", {Variant(int32_t{4})});
  EXPECT_EQ(Get(ItemOf(catalogue.Get(), Variant(int32_t{3})).Get(), "Index").ToLong(), 4);
  Call(catalogue.Get(), "Clear");
  EXPECT_EQ(CountOf(catalogue.Get()), 0);
  Call(catalogue.Get(), "Add", {Variant(int32_t{4})});
  EXPECT_EQ(Get(ItemOf(catalogue.Get(), Variant(int32_t{1})).Get(), "Index").ToLong(), 1);
  // The removed record is released with the collection, its own references aside.
  EXPECT_EQ(Get(first.Get(), "Style").ToLong(), 10);
}

TEST_F(CollectionsTest, ItemsTakeTheirSizeFromTheThreadsCurrentType) {
  PeWriter writer;
  writer.Add(10, 101, 0x0409, Bytes("12345"));
  writer.Add(10, u"CONFIG", 0x0409, Bytes("abc"));
  writer.Add(6, 101, 0x0409, Bytes("1234567"));
  ComPtr<IDispatch> catalogue = NewCatalogue();
  Open(catalogue.Get(), writer);

  ComPtr<IDispatch> record = CreateObject(u"Orvex10.clsQ7ResfResourceTypeA");
  PutProperty(record.Get(), "Style", Variant(int32_t{10}));
  ComPtr<IDispatch> items = CreateObject(u"Orvex10.clsQ7ResfResourceItemsA");

  EXPECT_EQ(Call(items.Get(), "Add", {Variant(u"101"), Variant(u"c")}).ToLong(), 0);
  EXPECT_EQ(Call(items.Get(), "AddinCollectionandClasses", {Variant(u"nothere")}).ToLong(), 1);
  EXPECT_EQ(Call(items.Get(), "Add", {Variant(u"config")}).ToLong(), 0);
  // Any record's Style moves the thread's type, whichever collection adds next.
  PutProperty(CreateObject(u"Orvex10.clsQ7ResfResourceTypeA").Get(), "Style", Variant(int32_t{6}));
  Call(items.Get(), "Add", {Variant(u"101")});

  const struct {
    int32_t index;
    const char16_t* name;
    int32_t size;
  } expected[] = {{1, u"101", 5}, {2, u"nothere", 0}, {3, u"config", 3}, {4, u"101", 7}};
  ASSERT_EQ(CountOf(items.Get()), 4);
  for (const auto& e : expected) {
    ComPtr<IDispatch> item = ItemOf(items.Get(), Variant(e.index));
    EXPECT_EQ(Get(item.Get(), "Index").ToLong(), e.index);
    EXPECT_EQ(Text(Get(item.Get(), "NameLong")), e.name);
    EXPECT_EQ(Text(Get(item.Get(), "ID")), e.name);
    EXPECT_EQ(Get(item.Get(), "Size").ToLong(), e.size) << e.index;
  }
  EXPECT_EQ(Text(Get(ItemOf(items.Get(), Variant(int32_t{1})).Get(), "Comments")), u"c");

  EXPECT_EQ(Call(items.Get(), "EnumStartResourceItems").ToLong(), 0);
  EXPECT_EQ(CountOf(items.Get()), 4);
  Call(items.Get(), "Remove", {Variant(int32_t{5})});
  Call(items.Get(), "Remove", {Variant(int32_t{2})});
  EXPECT_EQ(Get(ItemOf(items.Get(), Variant(int32_t{2})).Get(), "Index").ToLong(), 3);
  Call(items.Get(), "Clear");
  EXPECT_EQ(CountOf(items.Get()), 0);
  Call(items.Get(), "Add", {Variant(u"x")});
  EXPECT_EQ(Get(ItemOf(items.Get(), Variant(int32_t{1})).Get(), "Index").ToLong(), 1);
}

TEST_F(CollectionsTest, NewEnumWalksTheItemsInOrder) {
  ComPtr<IDispatch> items = CreateObject(u"Orvex10.clsQ7ResfResourceItemsA");
  for (const char16_t* name : {u"a", u"b", u"c"}) Call(items.Get(), "Add", {Variant(name)});
  Variant result = Get(items.Get(), "NewEnum");
  ASSERT_EQ(result.vt, VT_UNKNOWN);
  ComPtr<IEnumVARIANT> walk =
      ComPtr<IUnknown>(result.punkVal).TryAs<IEnumVARIANT>(IID_IEnumVARIANT);
  ASSERT_TRUE(walk);
  // Later changes don't reach an enumerator already made.
  Call(items.Get(), "Clear");

  Variant got[4];
  ULONG fetched = 0;
  EXPECT_EQ(walk->Next(4, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 3u);
  for (ULONG i = 0; i < fetched; ++i) {
    ASSERT_EQ(got[i].vt, VT_DISPATCH);
    EXPECT_EQ(Get(got[i].pdispVal, "Index").ToLong(), static_cast<int32_t>(i + 1));
  }
  EXPECT_EQ(Text(Get(got[2].pdispVal, "NameLong")), u"c");
  EXPECT_EQ(walk->Reset(), S_OK);
  EXPECT_EQ(walk->Skip(2), S_OK);
  ComPtr<IEnumVARIANT> copy;
  ASSERT_EQ(walk->Clone(copy.Put()), S_OK);
  Variant last;
  EXPECT_EQ(copy->Next(1, &last, nullptr), S_OK);
  EXPECT_EQ(Text(Get(last.pdispVal, "NameLong")), u"c");
  EXPECT_EQ(copy->Skip(1), S_FALSE);
}

}  // namespace
}  // namespace orvex::test
