// A test aid: while alive, every message box is recorded and answered from a script
// (then by the box's default button once the script runs out). Restores the previous
// handler when it goes.
#pragma once

#include <deque>
#include <initializer_list>
#include <memory>
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
  // Shared with the installed handler, so a box still being shown on another thread
  // when this object goes keeps what it uses alive.
  struct State {
    std::mutex mutex;
    std::deque<int> answers;
    std::vector<MessageBoxCall> calls;
  };
  static int Show(State& state, const MessageBoxCall& call);

  std::shared_ptr<State> state_;
  MessageBoxHandler previous_;
};

}  // namespace orvex
