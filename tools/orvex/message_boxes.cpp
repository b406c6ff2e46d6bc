#include "message_boxes.h"

#include "platform/text/text.h"

namespace orvex::cli {

namespace {

thread_local BoxCapture* currentCapture = nullptr;

}  // namespace

BoxCapture::BoxCapture() : outer_(currentCapture) {
  currentCapture = this;
}

BoxCapture::~BoxCapture() {
  currentCapture = outer_;
}

std::vector<std::string> BoxCapture::Texts() const {
  std::vector<std::string> texts;
  texts.reserve(boxes_.size());
  for (const CapturedBox& box : boxes_)
    texts.push_back(Utf16ToUtf8(AnsiToUnicode(box.call.caption + ": " + box.call.text)));
  return texts;
}

void BoxCapture::PassOn() {
  for (CapturedBox& box : boxes_) {
    if (outer_ != nullptr)
      outer_->boxes_.push_back(std::move(box));
    else
      (void)PrintMessageBoxToStderr(box.call);
  }
  boxes_.clear();
}

int ShowMessageBox(const MessageBoxCall& call) {
  // Read first: anything the handler calls could change it.
  const DWORD lastError = GetLastError();
  if (currentCapture == nullptr) return PrintMessageBoxToStderr(call);
  currentCapture->boxes_.push_back({call, lastError});
  return DefaultMessageBoxAnswer(call.style);
}

}  // namespace orvex::cli
