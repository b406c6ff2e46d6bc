#include "platform/user/message_box.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/user/message_box_script.h"

namespace orvex {
namespace {

TEST(MessageBox, DefaultAnswerIsTheStylesDefaultButton) {
  struct Case {
    UINT style;
    int answer;
  } cases[] = {
      {MB_OK, IDOK},
      {MB_OK | MB_ICONHAND, IDOK},
      {MB_YESNO | MB_ICONINFORMATION, IDYES},  // the temporary folder's question
      {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_YESNO | MB_DEFBUTTON3, IDYES},  // no third button: the first one
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
      {0xF, IDOK},  // unknown button set
  };
  for (const Case& c : cases) EXPECT_EQ(DefaultMessageBoxAnswer(c.style), c.answer) << c.style;
}

TEST(MessageBox, ScriptRecordsEveryBoxAndAnswersInOrder) {
  ScriptedMessageBoxes boxes{IDNO};
  EXPECT_EQ(MessageBoxA(0, "Are you sure?", "Empty", MB_YESNO | MB_ICONINFORMATION), IDNO);
  // The script ran out: the default button answers.
  EXPECT_EQ(MessageBoxA(7, "Invalid Library", nullptr, MB_OK | MB_ICONHAND), IDOK);
  boxes.Answer(IDCANCEL);
  EXPECT_EQ(MessageBoxA(0, nullptr, "c", MB_OKCANCEL), IDCANCEL);

  std::vector<MessageBoxCall> expected = {
      {0, "Are you sure?", "Empty", 0x44},
      {7, "Invalid Library", "Error", 0x10},  // a null caption shows as "Error"
      {0, "", "c", MB_OKCANCEL},
  };
  EXPECT_EQ(boxes.Calls(), expected);
}

TEST(MessageBox, ScriptsNestAndRestoreTheOuterHandler) {
  ScriptedMessageBoxes outer{IDNO, IDNO};
  {
    ScriptedMessageBoxes inner{IDYES};
    EXPECT_EQ(MessageBoxA(0, "inner", "", MB_YESNO), IDYES);
    EXPECT_EQ(inner.Count(), 1u);
  }
  EXPECT_EQ(MessageBoxA(0, "outer", "", MB_YESNO), IDNO);
  ASSERT_EQ(outer.Count(), 1u);
  EXPECT_EQ(outer.Calls()[0].text, "outer");
}

TEST(MessageBox, SetHandlerReturnsThePreviousOne) {
  MessageBoxHandler previous = SetMessageBoxHandler([](const MessageBoxCall&) { return 42; });
  EXPECT_EQ(MessageBoxA(0, "x", "y", MB_OK), 42);
  MessageBoxHandler mine = SetMessageBoxHandler(previous);
  ASSERT_TRUE(mine);
  EXPECT_EQ(mine(MessageBoxCall{}), 42);
}

TEST(MessageBox, BoxesFromSeveralThreadsAreAllRecorded) {
  ScriptedMessageBoxes boxes;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < 100; ++i) MessageBoxA(0, "t", "c", MB_OK);
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(boxes.Count(), 400u);
}

TEST(MessageBox, HandlerCanBeSwappedWhileOtherThreadsShowBoxes) {
  ScriptedMessageBoxes outer;
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < 200; ++i) EXPECT_EQ(MessageBoxA(0, "t", "c", MB_YESNO), IDYES);
    });
  }
  for (int i = 0; i < 200; ++i) ScriptedMessageBoxes nested;  // installs and removes itself
  for (std::thread& thread : threads) thread.join();
  EXPECT_LE(outer.Count(), 400u);
}

}  // namespace
}  // namespace orvex
