// Lifetime of ThreadCatalogue and per-thread state, driven by ProgID and by name.
#include <gtest/gtest.h>

#include <thread>

#include "catalogue/cls_q7_resf_resource_types_a.h"
#include "pe_writer/pe_writer.h"
#include "platform/module/module.h"
#include "platform/ole/late_bound.h"
#include "platform/text/text.h"
#include "server/class_catalogue.h"
#include "server/frame/thread_module_state.h"
#include "support/temp_dir.h"

namespace orvex {
namespace {

ComPtr<IDispatch> NewCatalogue() {
  return CreateObject(u"Orvex10.clsQ7ResfResourceTypesA");
}
ComPtr<IDispatch> NewHandler() {
  return CreateObject(u"Orvex10.clsQ7ResfResourceHandlerA");
}

// Marks a catalogue through a member that stores text unchanged.
void Mark(IDispatch* catalogue, const char16_t* mark) {
  PutProperty(catalogue, "FilePartFileName", Variant(mark));
}
std::u16string MarkOf(IDispatch* catalogue) {
  return GetProperty(catalogue, "FilePartFileName").ToString();
}
class ThreadCatalogueTest : public testing::Test {
 protected:
  void TearDown() override {
    // Leave the thread's slot empty for the next test.
    NewHandler().Reset();
  }
};

TEST_F(ThreadCatalogueTest, TheLastCreatedCatalogueIsCurrentAndOutlivesItsClient) {
  ComPtr<IDispatch> first = NewCatalogue();
  ComPtr<IDispatch> second = NewCatalogue();
  Mark(second.Get(), u"second");
  ComPtr<IDispatch> handler = NewHandler();
  EXPECT_EQ(GetProperty(handler.Get(), "Resources").ToDispatch().Get(), second.Get());
  EXPECT_EQ(GetProperty(handler.Get(), "Resources").ToDispatch().Get(), second.Get());

  long alive = LiveObjectCount();
  IDispatch* raw = second.Get();
  second.Reset();
  EXPECT_EQ(LiveObjectCount(), alive);  // the slot still holds it
  ComPtr<IDispatch> again = GetProperty(handler.Get(), "Resources").ToDispatch();
  EXPECT_EQ(again.Get(), raw);
  EXPECT_EQ(MarkOf(again.Get()), u"second");
}

TEST_F(ThreadCatalogueTest, AHandlersTearDownEmptiesTheSlot) {
  NewCatalogue().Reset();  // alive only in the slot
  long alive = LiveObjectCount();
  NewHandler().Reset();  // its tear-down empties the slot; the catalogue goes
  EXPECT_EQ(LiveObjectCount(), alive - 1);
  ComPtr<IDispatch> handler = NewHandler();
  ComPtr<IDispatch> fresh = GetProperty(handler.Get(), "Resources").ToDispatch();
  EXPECT_EQ(MarkOf(fresh.Get()), u"");
}

TEST_F(ThreadCatalogueTest, ReplacingThenReleasingTheOldCatalogueLeavesTheSlotEmpty) {
  ComPtr<IDispatch> old = NewCatalogue();
  ComPtr<IDispatch> replacement = NewCatalogue();
  Mark(replacement.Get(), u"replacement");
  old.Reset();  // its tear-down empties the slot, which held the replacement
  ComPtr<IDispatch> handler = NewHandler();
  ComPtr<IDispatch> current = GetProperty(handler.Get(), "Resources").ToDispatch();
  EXPECT_NE(current.Get(), replacement.Get());
  EXPECT_EQ(MarkOf(current.Get()), u"");
}

TEST_F(ThreadCatalogueTest, ResourcesAssignmentReplacesOrEmptiesTheSlot) {
  ComPtr<IDispatch> a = NewCatalogue();
  ComPtr<IDispatch> b = NewCatalogue();
  ComPtr<IDispatch> handler = NewHandler();
  PutPropertyRef(handler.Get(), "Resources", Variant(a));
  EXPECT_EQ(GetProperty(handler.Get(), "Resources").ToDispatch().Get(), a.Get());

  long alive = LiveObjectCount();
  PutPropertyRef(handler.Get(), "Resources", Variant(static_cast<IDispatch*>(nullptr)));
  a.Reset();  // no longer in the slot: goes now
  EXPECT_EQ(LiveObjectCount(), alive - 1);

  try {
    PutPropertyRef(handler.Get(), "Resources", Variant(NewHandler()));
    FAIL() << "a handler is not a catalogue";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), 13);
  }
}

TEST_F(ThreadCatalogueTest, EmptyClassesAnswerDispatchWithNoMembers) {
  for (const char16_t* progId : {u"Orvex10.clsQ7ResfGeneralA", u"Orvex10.clsQ7ResfAdvancedA"}) {
    ComPtr<IDispatch> object = CreateObject(progId);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(object->GetTypeInfo(0, 0, info.Put()), S_OK);
    const TYPEATTR* attr = nullptr;
    info->GetTypeAttr(&attr);
    EXPECT_EQ(attr->cFuncs, 0);
    try {
      Call(object.Get(), "Anything");
      FAIL();
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.Number(), 438);
    }
  }
}

TEST_F(ThreadCatalogueTest, MembersOfLaterSubsystemsAnswerNotImplemented) {
  // Any row still bound to NotImplemented() that takes no arguments.
  for (const ClassInfo* info : Orvex10Classes()) {
    for (const MemberDesc& m : info->Members()) {
      if (m.binding.thunk != nullptr || m.paramCount != 0 || m.IsPut()) continue;
      ComPtr<IDispatch> object = CreateObject(Utf8ToUtf16(info->ProgId()));
      try {
        Call(object.Get(), m.name);
        FAIL() << m.name;
      } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 445);
        EXPECT_NE(e.Description().find(m.name), std::string::npos);
      }
      return;
    }
  }
  GTEST_SKIP() << "every member is implemented";
}

TEST_F(ThreadCatalogueTest, BuddyObjectIsSharedOnOneThreadOnly) {
  ComPtr<IDispatch> one = CreateObject(u"Orvex10.clsQ7Orvex10A");
  ComPtr<IDispatch> two = CreateObject(u"Orvex10.clsQ7Orvex10A");
  EXPECT_FALSE(GetProperty(one.Get(), "BuddyObjectGlobal").ToDispatch());
  ComPtr<IDispatch> buddy = NewCatalogue();
  PutPropertyRef(one.Get(), "BuddyObjectGlobal", Variant(buddy));
  EXPECT_EQ(GetProperty(two.Get(), "BuddyObjectGlobal").ToDispatch().Get(), buddy.Get());
  std::thread([&] {
    ComPtr<IDispatch> other = CreateObject(u"Orvex10.clsQ7Orvex10A");
    EXPECT_FALSE(GetProperty(other.Get(), "BuddyObjectGlobal").ToDispatch());
  }).join();
  PutPropertyRef(two.Get(), "BuddyObjectGlobal", Variant(static_cast<IDispatch*>(nullptr)));
  EXPECT_FALSE(GetProperty(one.Get(), "BuddyObjectGlobal").ToDispatch());
  // The application object describes the library.
  ComPtr<IDispatch> app = GetProperty(one.Get(), "GetProStdProperties").ToDispatch();
  EXPECT_EQ(GetProperty(app.Get(), "Title").ToString(), u"Orvex10");
  EXPECT_EQ(GetProperty(app.Get(), "Major").ToLong(), 1);
}

TEST_F(ThreadCatalogueTest, TwoThreadsHaveIndependentCataloguesAndModules) {
  test::PeWriter writer;
  writer.Add(test::ResId(10), test::ResId(1), 0x0409, test::Bytes("data"));
  test::TempDir dir;
  std::string path = dir.Write("module.dll", writer.Build());

  long before = LiveObjectCount();
  HMODULE handles[2] = {};
  std::u16string marks[2];
  auto work = [&](int index, const char16_t* mark, bool load) {
    ComPtr<IDispatch> catalogue = NewCatalogue();
    if (load) PutProperty(catalogue.Get(), "Filename", Variant(Utf8ToUtf16(path)));
    Mark(catalogue.Get(), mark);
    handles[index] = GetThreadModuleState().ThreadModuleHandle;
    catalogue.Reset();  // still current on this thread, until the thread ends
    marks[index] = ThreadCatalogue()->FilePartFileName();
  };
  std::thread a(work, 0, u"thread A", true);
  std::thread b(work, 1, u"thread B", false);
  a.join();
  b.join();
  EXPECT_EQ(marks[0], u"thread A");
  EXPECT_EQ(marks[1], u"thread B");
  EXPECT_NE(handles[0], 0u);
  EXPECT_EQ(handles[1], 0u);
  // Each thread's end released its catalogue and its module.
  EXPECT_EQ(LiveObjectCount(), before);
  EXPECT_EQ(FreeLibrary(handles[0]), FALSE);
}

}  // namespace
}  // namespace orvex
