// How the client shows the library's message boxes. A box prints on stderr as
// "[caption] text" and takes its default answer, unless a BoxCapture is alive on the
// thread that shows it: then the box is kept in the capture, for the caller to turn into a
// message of its own (the failed load behind "Invalid Library", a scanned file's
// "messages").
#pragma once

#include <string>
#include <vector>

#include "platform/user/message_box.h"

namespace orvex::cli {

struct CapturedBox {
  MessageBoxCall call;
  // The platform's last error as the box came: the failure that made the library show it.
  DWORD lastError = 0;
};

// The client's handler (installed by RegisterClasses).
int ShowMessageBox(const MessageBoxCall& call);

// Keeps the boxes shown on this thread while it lives. Captures nest: the innermost one
// takes the boxes, and the outer one is back when it goes.
class BoxCapture {
 public:
  BoxCapture();
  ~BoxCapture();
  BoxCapture(const BoxCapture&) = delete;
  BoxCapture& operator=(const BoxCapture&) = delete;

  const std::vector<CapturedBox>& Boxes() const { return boxes_; }
  // Each box as "caption: text", UTF-8.
  std::vector<std::string> Texts() const;
  // Shows the kept boxes again as if this capture did not hold them: to the outer capture,
  // or on stderr.
  void PassOn();

 private:
  friend int ShowMessageBox(const MessageBoxCall& call);

  BoxCapture* outer_;
  std::vector<CapturedBox> boxes_;
};

}  // namespace orvex::cli
