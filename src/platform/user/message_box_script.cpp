#include "platform/user/message_box_script.h"

namespace orvex {

ScriptedMessageBoxes::ScriptedMessageBoxes(std::initializer_list<int> answers) : answers_(answers) {
  previous_ = SetMessageBoxHandler([this](const MessageBoxCall& call) { return Show(call); });
}

ScriptedMessageBoxes::~ScriptedMessageBoxes() {
  SetMessageBoxHandler(std::move(previous_));
}

void ScriptedMessageBoxes::Answer(int answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.push_back(answer);
}

std::vector<MessageBoxCall> ScriptedMessageBoxes::Calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

size_t ScriptedMessageBoxes::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_.size();
}

void ScriptedMessageBoxes::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.clear();
}

int ScriptedMessageBoxes::Show(const MessageBoxCall& call) {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.push_back(call);
  if (answers_.empty()) return DefaultMessageBoxAnswer(call.style);
  int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

}  // namespace orvex
