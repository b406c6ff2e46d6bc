#include "platform/media/mci.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string_view>

namespace orvex {
namespace {

struct ErrorText {
  MCIERROR error;
  const char* text;
};

// The platform's texts of the errors this layer answers.
constexpr ErrorText kErrorTexts[] = {
    {MCIERR_UNRECOGNIZED_COMMAND, "The driver cannot recognize the specified command."},
    {MCIERR_INVALID_DEVICE_NAME, "The specified device is not open or is not recognized by MCI."},
    {MCIERR_EXTENSION_NOT_FOUND,
     "Cannot determine the device type from the given filename extension."},
    {MCIERR_MISSING_DEVICE_NAME,
     "The specified command requires an alias, file, driver, or device name. Please supply "
     "one."},
};

// Verbs of the string interface. A command on a name that is not open is answered by
// "close" with an unknown device, by the others (which would open the name as a file
// first) with a file of unknown type.
constexpr std::string_view kVerbs[] = {
    "open",   "close",   "play",   "stop", "pause",      "resume", "seek",     "status", "set",
    "where",  "put",     "window", "info", "capability", "record", "save",     "cue",    "sysinfo",
    "update", "realize", "break",  "load", "step",       "freeze", "unfreeze",
};

bool SameKeyword(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

std::string_view NextWord(std::string_view& rest) {
  const size_t start = rest.find_first_not_of(" \t");
  if (start == std::string_view::npos) {
    rest = {};
    return {};
  }
  rest.remove_prefix(start);
  const size_t end = rest.find_first_of(" \t");
  const std::string_view word = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end);
  return word;
}

std::mutex recorderMutex;
std::function<void(std::string_view)>& Recorder() {
  static std::function<void(std::string_view)> recorder;
  return recorder;
}

void Record(LPCSTR command) {
  std::function<void(std::string_view)> recorder;
  {
    std::lock_guard lock(recorderMutex);
    recorder = Recorder();
  }
  if (recorder) recorder(command ? std::string_view(command) : std::string_view{});
}

}  // namespace

void SetMciCommandRecorderForTesting(std::function<void(std::string_view)> recorder) {
  std::lock_guard lock(recorderMutex);
  Recorder() = std::move(recorder);
}

MCIERROR mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength, HWND) {
  Record(command);
  if (returnString && returnLength > 0) returnString[0] = '\0';
  std::string_view rest = command ? std::string_view(command) : std::string_view{};
  const std::string_view verb = NextWord(rest);
  bool known = false;
  for (std::string_view v : kVerbs) known = known || SameKeyword(verb, v);
  if (!known) return MCIERR_UNRECOGNIZED_COMMAND;
  if (NextWord(rest).empty()) return MCIERR_MISSING_DEVICE_NAME;
  if (SameKeyword(verb, "close")) return MCIERR_INVALID_DEVICE_NAME;
  return MCIERR_EXTENSION_NOT_FOUND;
}

BOOL mciGetErrorStringA(MCIERROR error, LPSTR text, UINT length) {
  if (!text || length == 0) return FALSE;
  text[0] = '\0';
  for (const ErrorText& entry : kErrorTexts) {
    if (entry.error != error) continue;
    const size_t n = std::min<size_t>(std::strlen(entry.text), length - 1);
    std::memcpy(text, entry.text, n);
    text[n] = '\0';
    return TRUE;
  }
  return FALSE;
}

}  // namespace orvex
