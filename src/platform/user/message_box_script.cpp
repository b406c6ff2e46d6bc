#include "platform/user/message_box_script.h"

namespace orvex {

ScriptedMessageBoxes::ScriptedMessageBoxes(std::initializer_list<int> answers)
    : state_(std::make_shared<State>()) {
  state_->answers.assign(answers.begin(), answers.end());
  previous_ = SetMessageBoxHandler(
      [state = state_](const MessageBoxCall& call) { return Show(*state, call); });
}

ScriptedMessageBoxes::~ScriptedMessageBoxes() {
  SetMessageBoxHandler(std::move(previous_));
}

void ScriptedMessageBoxes::Answer(int answer) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->answers.push_back(answer);
}

std::vector<MessageBoxCall> ScriptedMessageBoxes::Calls() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->calls;
}

size_t ScriptedMessageBoxes::Count() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->calls.size();
}

void ScriptedMessageBoxes::Clear() {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->calls.clear();
}

int ScriptedMessageBoxes::Show(State& state, const MessageBoxCall& call) {
  std::lock_guard<std::mutex> lock(state.mutex);
  state.calls.push_back(call);
  if (state.answers.empty()) return DefaultMessageBoxAnswer(call.style);
  int answer = state.answers.front();
  state.answers.pop_front();
  return answer;
}

}  // namespace orvex
