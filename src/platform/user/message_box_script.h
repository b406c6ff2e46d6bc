// A test aid: while alive, every message box is recorded and answered from a script
// (then by the box's default button once the script runs out). Restores the previous
// handler when it goes.
#pragma once

#include <deque>
#include <initializer_list>
#include <mutex>
#include <vector>

#include "platform/user/message_box.h"

namespace orvex {

class ScriptedMessageBoxes {
 public:
  explicit ScriptedMessageBoxes(std::initializer_list<int> answers = {});
  ~ScriptedMessageBoxes();
  ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
  ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

  // Appends an answer for a later box.
  void Answer(int answer);
  // Every box shown so far, in order.
  std::vector<MessageBoxCall> Calls() const;
  size_t Count() const;
  // Forgets the boxes recorded so far (the script stays).
  void Clear();

 private:
  int Show(const MessageBoxCall& call);

  mutable std::mutex mutex_;
  std::deque<int> answers_;
  std::vector<MessageBoxCall> calls_;
  MessageBoxHandler previous_;
};

}  // namespace orvex
