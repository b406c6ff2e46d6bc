// Window classes: the process's registered classes by name (without regard to case), with
// RegisterClassA, GetClassInfoA and the system classes' own registration.
#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/user/window.h"
#include "platform/user/window_internal.h"

namespace orvex {
namespace {

std::mutex& ClassesMutex() {
  static std::mutex mutex;
  return mutex;
}
std::vector<std::shared_ptr<const WindowClass>>& Classes() {
  static auto* classes = new std::vector<std::shared_ptr<const WindowClass>>;
  return *classes;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
           return lower(x) == lower(y);
         });
}

}  // namespace

std::shared_ptr<const WindowClass> FindWindowClass(std::string_view name) {
  std::lock_guard lock(ClassesMutex());
  for (const auto& c : Classes()) {
    if (SameName(c->name, name)) return c;
  }
  return nullptr;
}

ATOM RegisterSystemClass(const WNDCLASSA& windowClass) {
  if (!windowClass.lpszClassName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (FindWindowClass(windowClass.lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  std::lock_guard lock(ClassesMutex());
  const auto atom = static_cast<ATOM>(0xC000 + Classes().size());
  Classes().push_back(std::make_shared<const WindowClass>(
      WindowClass{windowClass.lpszClassName, windowClass.lpfnWndProc, windowClass.hbrBackground,
                  std::clamp(windowClass.cbWndExtra, 0, 40), atom}));
  return atom;
}

void ReplaceClassProcedure(const char* className, WNDPROC proc) {
  std::lock_guard lock(ClassesMutex());
  for (auto& c : Classes()) {
    if (!SameName(c->name, className)) continue;
    auto replaced = std::make_shared<WindowClass>(*c);
    replaced->proc = proc;
    c = std::move(replaced);
  }
}

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
  EnsureSystemClasses();
  if (!windowClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return RegisterSystemClass(*windowClass);
}

BOOL GetClassInfoA(HINSTANCE /*instance*/, LPCSTR className, WNDCLASSA* windowClass) {
  EnsureSystemClasses();
  if (!className || !windowClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto found = FindWindowClass(className);
  if (!found) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  *windowClass = WNDCLASSA{};
  windowClass->lpfnWndProc = found->proc;
  windowClass->cbWndExtra = found->extraBytes;
  windowClass->hbrBackground = found->background;
  windowClass->lpszClassName = className;
  return TRUE;
}

}  // namespace orvex
