// The thread's UI language and locale names passed through to the platform.
#include "platform/module/ui_language.h"

#include "platform/core/win/windows_sdk.h"

namespace orvex {

LANGID SetThreadUILanguage(LANGID language) {
  return ::SetThreadUILanguage(language);
}

LANGID GetThreadUILanguage() {
  return ::GetThreadUILanguage();
}

LCID LocaleNameToLCID(const char16_t* name, DWORD flags) {
  return ::LocaleNameToLCID(reinterpret_cast<LPCWSTR>(name), flags);
}

}  // namespace orvex
