// The type and name enumeration: records go to the thread's current catalogue, complete
// with their items and sizes, in the platform's order.
#include <gtest/gtest.h>

#include "catalogue/catalogue_test_support.h"
#include "platform/ole/class_registry.h"
#include "platform/text/text.h"
#include "server/class_catalogue.h"
#include "server/frame/class_ids.h"
#include "server/frame/thread_module_state.h"

namespace orvex::test {
namespace {

class EnumerationTest : public CatalogueTest {
 protected:
  // Named types first (AVI), then numbers ascending: icons 1-3, a menu, RCDATA, a version.
  static PeWriter SampleModule() {
    PeWriter writer;
    writer.Add(3, 1, 0x0409, std::vector<uint8_t>(40, 1));
    writer.Add(3, 2, 0x0409, std::vector<uint8_t>(296, 2));
    writer.Add(3, 3, 0x0409, std::vector<uint8_t>(744, 3));
    writer.Add(4, 100, 0x0409, std::vector<uint8_t>(20, 4));
    writer.Add(10, u"CONFIG", 0x0409, Bytes("key=value"));
    writer.Add(10, 7, 0x0409, Bytes("seven"));
    writer.Add(16, 1, 0x0409, std::vector<uint8_t>(92, 0));
    writer.Add(u"AVI", u"CLIP", 0x0409, Bytes("RIFF...."));
    return writer;
  }

  struct Seen {
    int32_t index;
    std::u16string name;
    int32_t style;
    std::vector<std::pair<std::u16string, int32_t>> items;  // NameLong, Size
  };
  static std::vector<Seen> Walk(IDispatch* catalogue) {
    std::vector<Seen> out;
    for (int32_t i = 1; i <= CountOf(catalogue); ++i) {
      ComPtr<IDispatch> record = ItemOf(catalogue, Variant(i));
      Seen seen{Get(record.Get(), "Index").ToLong(),
                Text(Get(record.Get(), "NameLong")),
                Get(record.Get(), "Style").ToLong(),
                {}};
      ComPtr<IDispatch> items = GetObject(record.Get(), "ResourceItems");
      for (int32_t k = 1; k <= CountOf(items.Get()); ++k) {
        ComPtr<IDispatch> item = ItemOf(items.Get(), Variant(k));
        EXPECT_EQ(Get(item.Get(), "Index").ToLong(), k);
        EXPECT_EQ(Text(Get(item.Get(), "ID")), Text(Get(item.Get(), "NameLong")));
        seen.items.emplace_back(Text(Get(item.Get(), "NameLong")),
                                Get(item.Get(), "Size").ToLong());
      }
      out.push_back(std::move(seen));
    }
    return out;
  }
};

using Items = std::vector<std::pair<std::u16string, int32_t>>;

TEST_F(EnumerationTest, ListsTypesWithTheirItemsAndSizes) {
  ComPtr<IDispatch> catalogue = NewCatalogue();
  Open(catalogue.Get(), SampleModule());
  EXPECT_EQ(Call(catalogue.Get(), "EnumResourceTypesStart").ToLong(), 0);

  std::vector<Seen> seen = Walk(catalogue.Get());
  ASSERT_EQ(seen.size(), 5u);
  for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i].index, static_cast<int32_t>(i + 1));

  EXPECT_EQ(seen[0].name, u"AVI");
  EXPECT_GT(static_cast<uint32_t>(seen[0].style), 0xFFFFu);
  EXPECT_EQ(seen[0].items, (Items{{u"CLIP", 8}}));
  EXPECT_EQ(seen[1].name, u"Hardware-dependent icon resource");
  EXPECT_EQ(seen[1].style, 3);
  EXPECT_EQ(seen[1].items, (Items{{u"1", 40}, {u"2", 296}, {u"3", 744}}));
  EXPECT_EQ(seen[2].style, 4);
  EXPECT_EQ(seen[2].items, (Items{{u"100", 20}}));
  EXPECT_EQ(seen[3].name, u"Application-defined resource (raw data)");
  EXPECT_EQ(seen[3].items, (Items{{u"CONFIG", 9}, {u"7", 5}}));
  EXPECT_EQ(seen[4].name, u"Version resource");
  EXPECT_EQ(seen[4].items, (Items{{u"1", 92}}));
  EXPECT_EQ(boxes_.Count(), 0u);
  EXPECT_EQ(GetThreadModuleState().ThreadTypeIndex, 5);

  // After the walk the last type's name still serves the size lookup of a client's item.
  ComPtr<IDispatch> avi = ItemOf(catalogue.Get(), Variant(int32_t{1}));
  Call(catalogue.Get(), "Add", {Get(avi.Get(), "Style")});  // the identifier names nothing now
  EXPECT_EQ(Text(Get(ItemOf(catalogue.Get(), Variant(int32_t{6})).Get(), "NameLong")), u"");
}

// A module compiled by the resource compiler with bitmaps 0, 1, 2 and raw data 0: the
// number 0 is listed and sized like any other.
TEST_F(EnumerationTest, ListsResourcesNumberedZero) {
  ComPtr<IDispatch> catalogue = NewCatalogue();
  PutProperty(catalogue.Get(), "Filename",
              Variant(Utf8ToUtf16(ORVEX_SOURCE_DIR "/tests/fixtures/rc/zero.dll")));
  Call(catalogue.Get(), "EnumResourceTypesStart");
  std::vector<Seen> seen = Walk(catalogue.Get());
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].style, 2);
  EXPECT_EQ(seen[0].items, (Items{{u"0", 56}, {u"1", 56}, {u"2", 56}}));
  EXPECT_EQ(seen[1].style, 10);
  EXPECT_EQ(seen[1].items, (Items{{u"0", 5}}));
}

TEST_F(EnumerationTest, SizeLookupAfterTheWalkUsesTheLastNamedType) {
  PeWriter writer;
  writer.Add(u"WAVE", u"DING", 0x0409, Bytes("0123456789"));
  ComPtr<IDispatch> catalogue = NewCatalogue();
  Open(catalogue.Get(), writer);
  Call(catalogue.Get(), "EnumResourceTypesStart");
  ComPtr<IDispatch> items =
      GetObject(ItemOf(catalogue.Get(), Variant(int32_t{1})).Get(), "ResourceItems");
  Call(items.Get(), "Add", {Variant(u"ding")});
  EXPECT_EQ(Get(ItemOf(items.Get(), Variant(int32_t{2})).Get(), "Size").ToLong(), 10);
}

// A resource named with digits is not the numbered resource of the same value.
TEST_F(EnumerationTest, NamedResourceWithDigitsGetsItsOwnSize) {
  PeWriter writer;
  writer.Add(10, u"101", 0x0409, Bytes("named"));
  writer.Add(10, 101, 0x0409, Bytes("numbered, longer"));
  ComPtr<IDispatch> catalogue = NewCatalogue();
  Open(catalogue.Get(), writer);
  Call(catalogue.Get(), "EnumResourceTypesStart");
  ASSERT_EQ(Walk(catalogue.Get()).size(), 1u);
  EXPECT_EQ(Walk(catalogue.Get())[0].items, (Items{{u"101", 5}, {u"101", 16}}));
}

TEST_F(EnumerationTest, TwiceAppendsASecondFullSetAndClearRestartsNumbering) {
  ComPtr<IDispatch> catalogue = NewCatalogue();
  Open(catalogue.Get(), SampleModule());
  Call(catalogue.Get(), "EnumResourceTypesStart");
  Call(catalogue.Get(), "EnumResourceTypesStop");  // runs the same walk
  std::vector<Seen> seen = Walk(catalogue.Get());
  ASSERT_EQ(seen.size(), 10u);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(seen[i + 5].index, static_cast<int32_t>(i + 6));
    EXPECT_EQ(seen[i + 5].name, seen[i].name);
    EXPECT_EQ(seen[i + 5].items, seen[i].items);
  }
  ComPtr<IDispatch> firstIcons =
      GetObject(ItemOf(catalogue.Get(), Variant(int32_t{2})).Get(), "ResourceItems");
  ComPtr<IDispatch> secondIcons =
      GetObject(ItemOf(catalogue.Get(), Variant(int32_t{7})).Get(), "ResourceItems");
  EXPECT_NE(firstIcons.Get(), secondIcons.Get());

  Call(catalogue.Get(), "Clear");
  Call(catalogue.Get(), "EnumResourceTypesStart");
  std::vector<Seen> again = Walk(catalogue.Get());
  ASSERT_EQ(again.size(), 5u);
  EXPECT_EQ(again[0].index, 1);
  EXPECT_EQ(again[1].items.size(), 3u);
}

// After a Remove the record just added sits below position ThreadTypeIndex; its names
// still reach it, and no box is shown.
TEST_F(EnumerationTest, EnumerationAfterRemoveFillsTheRecordsJustAdded) {
  ComPtr<IDispatch> catalogue = NewCatalogue();
  Open(catalogue.Get(), SampleModule());
  Call(catalogue.Get(), "EnumResourceTypesStart");
  Call(catalogue.Get(), "Remove", {Variant(int32_t{1})});
  Call(catalogue.Get(), "EnumResourceTypesStart");
  std::vector<Seen> seen = Walk(catalogue.Get());
  ASSERT_EQ(seen.size(), 9u);
  EXPECT_EQ(seen[4].index, 6);
  EXPECT_EQ(seen[4].name, u"AVI");
  EXPECT_EQ(seen[4].items, (Items{{u"CLIP", 8}}));
  EXPECT_EQ(seen[5].items.size(), 3u);
  EXPECT_EQ(seen[0].items, seen[5].items);
  EXPECT_EQ(boxes_.Count(), 0u);
}

TEST_F(EnumerationTest, RecordsGoToTheThreadsCurrentCatalogue) {
  ComPtr<IDispatch> first = NewCatalogue();
  ComPtr<IDispatch> second = NewCatalogue();  // now the current one
  Open(first.Get(), SampleModule());          // the module is the thread's, not the object's
  Call(first.Get(), "EnumResourceTypesStart");
  EXPECT_EQ(CountOf(first.Get()), 0);
  EXPECT_EQ(CountOf(second.Get()), 5);
}

TEST_F(EnumerationTest, ReplacingTheCatalogueLeavesTheSlotToAFreshOne) {
  ComPtr<IDispatch> old = NewCatalogue();
  Open(old.Get(), SampleModule());
  ComPtr<IDispatch> fresh = NewCatalogue();
  old = nullptr;  // its tear-down empties the slot that `fresh` took
  Call(fresh.Get(), "EnumResourceTypesStart");
  EXPECT_EQ(CountOf(fresh.Get()), 0);
  ComPtr<IDispatch> handler = CreateObject(u"Orvex10.clsQ7ResfResourceHandlerA");
  ComPtr<IDispatch> current = GetObject(handler.Get(), "Resources");
  EXPECT_NE(current.Get(), fresh.Get());
  EXPECT_EQ(CountOf(current.Get()), 5);
}

// A failure inside a callback stops the walk and reaches the client as the member's error
// once the platform's enumeration has returned.
TEST_F(EnumerationTest, AFailureInsideTheWalkIsTheMembersError) {
  ComPtr<IDispatch> old = NewCatalogue();
  Open(old.Get(), SampleModule());
  ComPtr<IDispatch> caller = NewCatalogue();
  old = nullptr;  // the slot is empty now, and no catalogue can be made to fill it
  CoRevokeClassObject(CLSID_clsQ7ResfResourceTypesA);
  const int32_t error = ErrorOf([&] { Call(caller.Get(), "EnumResourceTypesStart"); });
  RegisterClassInProcess(clsQ7ResfResourceTypesAInfo());
  EXPECT_EQ(error, 429);
  EXPECT_EQ(CountOf(caller.Get()), 0);
  // The next walk runs normally.
  Call(caller.Get(), "EnumResourceTypesStart");
  ComPtr<IDispatch> handler = CreateObject(u"Orvex10.clsQ7ResfResourceHandlerA");
  EXPECT_EQ(CountOf(GetObject(handler.Get(), "Resources").Get()), 5);
}

TEST_F(EnumerationTest, ModuleWithoutResourcesAddsNothing) {
  PeWriter writer;
  Malformation none;
  none.noResourceDirectory = true;
  writer.Damage(none);
  ComPtr<IDispatch> catalogue = NewCatalogue();
  Open(catalogue.Get(), writer);
  EXPECT_EQ(Call(catalogue.Get(), "EnumResourceTypesStart").ToLong(), 0);
  EXPECT_EQ(CountOf(catalogue.Get()), 0);
}

}  // namespace
}  // namespace orvex::test
