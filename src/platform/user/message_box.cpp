#include "platform/user/message_box.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/user/message_box_default.h"

namespace orvex {
namespace {

std::mutex handlerMutex;
// Shared so that a call in flight keeps its handler alive while another thread swaps it.
std::shared_ptr<const MessageBoxHandler> currentHandler;

}  // namespace

int DefaultMessageBoxAnswer(UINT style) {
  static constexpr int kButtons[7][3] = {
      {IDOK, 0, 0},                        // MB_OK
      {IDOK, IDCANCEL, 0},                 // MB_OKCANCEL
      {IDABORT, IDRETRY, IDIGNORE},        // MB_ABORTRETRYIGNORE
      {IDYES, IDNO, IDCANCEL},             // MB_YESNOCANCEL
      {IDYES, IDNO, 0},                    // MB_YESNO
      {IDRETRY, IDCANCEL, 0},              // MB_RETRYCANCEL
      {IDCANCEL, IDTRYAGAIN, IDCONTINUE},  // MB_CANCELTRYCONTINUE
  };
  UINT type = style & MB_TYPEMASK;
  if (type >= 7) type = 0;  // unknown button sets show OK, as the platform does
  UINT index = (style & MB_DEFMASK) >> 8;
  if (index >= 3 || kButtons[type][index] == 0) index = 0;
  return kButtons[type][index];
}

int PrintMessageBoxToStderr(const MessageBoxCall& call) {
  std::fprintf(stderr, "[%s] %s\n", call.caption.c_str(), call.text.c_str());
  return DefaultMessageBoxAnswer(call.style);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  MessageBoxCall call{owner, text ? text : "", caption ? caption : "Error", style};
  std::shared_ptr<const MessageBoxHandler> handler;
  {
    std::lock_guard<std::mutex> lock(handlerMutex);
    handler = currentHandler;
  }
  if (handler && *handler) return (*handler)(call);
  return ShowMessageBoxWithoutHandler(call);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  std::shared_ptr<const MessageBoxHandler> next;
  if (handler) next = std::make_shared<const MessageBoxHandler>(std::move(handler));
  std::lock_guard<std::mutex> lock(handlerMutex);
  std::shared_ptr<const MessageBoxHandler> previous = std::exchange(currentHandler, next);
  return previous ? *previous : MessageBoxHandler{};
}

}  // namespace orvex
