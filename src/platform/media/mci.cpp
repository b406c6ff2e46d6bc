#include "platform/media/mci.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/media/avi_video_device.h"
#include "platform/media/mci_words.h"

namespace orvex {
namespace {

struct ErrorText {
  MCIERROR error;
  const char* text;
};

// The platform's texts of the errors this layer answers.
constexpr ErrorText kErrorTexts[] = {
    {MCIERR_UNRECOGNIZED_KEYWORD, "The driver cannot recognize the specified command parameter."},
    {MCIERR_UNRECOGNIZED_COMMAND, "The driver cannot recognize the specified command."},
    {MCIERR_INVALID_DEVICE_NAME, "The specified device is not open or is not recognized by MCI."},
    {MCIERR_CANNOT_LOAD_DRIVER,
     "There is an undetectable problem in loading the specified device driver."},
    {MCIERR_MISSING_COMMAND_STRING, "No command was specified."},
    {MCIERR_MISSING_STRING_ARGUMENT,
     "The specified command requires a character-string parameter. Please provide one."},
    {MCIERR_BAD_INTEGER, "The specified integer is invalid for this command."},
    {MCIERR_MISSING_PARAMETER, "The specified command requires a parameter. Please supply one."},
    {MCIERR_UNSUPPORTED_FUNCTION,
     "The MCI device you are using does not support the specified command."},
    {MCIERR_FILE_NOT_FOUND,
     "Cannot find the specified file. Make sure the path and filename are correct."},
    {MCIERR_EXTENSION_NOT_FOUND,
     "Cannot determine the device type from the given filename extension."},
    {MCIERR_OUTOFRANGE, "The specified parameter is out of range for the specified command."},
    {MCIERR_DUPLICATE_ALIAS,
     "The specified alias is already being used in this application. Use a unique alias."},
    {MCIERR_MISSING_DEVICE_NAME,
     "The specified command requires an alias, file, driver, or device name. Please supply "
     "one."},
    {MCIERR_NO_CLOSING_QUOTE,
     "A closing double-quotation mark is missing from the parameter value. Please supply one."},
    {MCIERR_CREATEWINDOW, "Could not create or use window."},
};

// Verbs every device has. On a name that is not open, "close" and "break" find no device;
// the others would open the name as a file first and fail on its missing extension.
constexpr std::string_view kCoreVerbs[] = {
    "open", "close", "play",       "stop",   "pause", "resume", "seek",  "status",
    "set",  "info",  "capability", "record", "save",  "load",   "break", "sysinfo",
};
// Verbs of particular devices: on a name that is not open, nothing knows them.
constexpr std::string_view kDeviceVerbs[] = {
    "where", "put", "window", "cue", "update", "realize", "step", "freeze", "unfreeze",
};

bool IsOneOf(std::string_view word, std::span<const std::string_view> list) {
  return std::any_of(list.begin(), list.end(),
                     [&](std::string_view v) { return SameKeyword(word, v); });
}

struct OpenDevice {
  std::string alias;
  std::unique_ptr<AviVideoDevice> device;
};

std::mutex& CommandsMutex() {
  static std::mutex mutex;
  return mutex;
}
std::vector<OpenDevice>& Devices() {
  static auto* devices = new std::vector<OpenDevice>;
  return *devices;
}
std::function<void(std::string_view)>& Recorder() {
  static auto* recorder = new std::function<void(std::string_view)>;
  return *recorder;
}

OpenDevice* FindDevice(std::string_view alias) {
  for (OpenDevice& d : Devices())
    if (SameKeyword(d.alias, alias)) return &d;
  return nullptr;
}

bool EndsWithAvi(std::string_view file) {
  return file.size() >= 4 && SameKeyword(file.substr(file.size() - 4), ".avi");
}

// "open FILE [type T] [alias A] [parent N] [style child|popup|overlapped|N] [shareable]";
// the reply is the new device's number.
MCIERROR Open(const std::vector<std::string>& words, std::string& reply) {
  static unsigned lastId = 0;
  AviVideoDevice::Options options;
  options.file = words[1];
  std::string alias = words[1];
  // The device type comes first (the "type" keyword, else the file's extension): the
  // rest of the command is read by that device.
  std::optional<std::string> type;
  for (size_t i = 2; i + 1 < words.size() && !type; ++i)
    if (SameKeyword(words[i], "type")) type = words[i + 1];
  if (type ? !SameKeyword(*type, "avivideo") : !EndsWithAvi(options.file))
    return type ? MCIERR_INVALID_DEVICE_NAME : MCIERR_EXTENSION_NOT_FOUND;
  for (size_t i = 2; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (SameKeyword(w, "shareable") || SameKeyword(w, "wait") || SameKeyword(w, "notify")) continue;
    const bool takesValue = SameKeyword(w, "type") || SameKeyword(w, "alias") ||
                            SameKeyword(w, "parent") || SameKeyword(w, "style");
    if (!takesValue) return MCIERR_UNRECOGNIZED_COMMAND;
    if (i + 1 >= words.size())
      return SameKeyword(w, "parent") ? MCIERR_BAD_INTEGER : MCIERR_MISSING_STRING_ARGUMENT;
    const std::string& value = words[++i];
    if (SameKeyword(w, "alias")) {
      alias = value;
    } else if (SameKeyword(w, "parent")) {
      const auto n = ParseMciInteger(value);
      if (!n) return MCIERR_BAD_INTEGER;
      options.parent = static_cast<HWND>(static_cast<uint32_t>(*n));
    } else if (SameKeyword(w, "style")) {
      // "child", or a number of window styles with WS_CHILD.
      const auto n = ParseMciInteger(value);
      options.child =
          SameKeyword(value, "child") || (n && (static_cast<uint32_t>(*n) & 0x40000000u));
    }
  }
  if (FindDevice(alias)) return MCIERR_DUPLICATE_ALIAS;
  std::unique_ptr<AviVideoDevice> device;
  if (const MCIERROR e = AviVideoDevice::Open(options, device)) return e;
  Devices().push_back({alias, std::move(device)});
  reply = std::to_string(++lastId);
  return 0;
}

MCIERROR Run(std::string_view command, std::string& reply) {
  const auto words = SplitMciWords(command);
  if (!words) return MCIERR_NO_CLOSING_QUOTE;
  if (words->empty()) return MCIERR_MISSING_COMMAND_STRING;
  const std::string& verb = (*words)[0];
  if (!IsOneOf(verb, kCoreVerbs) && !IsOneOf(verb, kDeviceVerbs))
    return MCIERR_UNRECOGNIZED_COMMAND;
  if (words->size() < 2) return MCIERR_MISSING_DEVICE_NAME;
  if (SameKeyword(verb, "open")) return Open(*words, reply);
  if (SameKeyword(verb, "close") && SameKeyword((*words)[1], "all")) {
    Devices().clear();
    return 0;
  }
  OpenDevice* device = FindDevice((*words)[1]);
  if (!device) {
    if (SameKeyword(verb, "close") || SameKeyword(verb, "break")) return MCIERR_INVALID_DEVICE_NAME;
    if (SameKeyword(verb, "sysinfo")) return MCIERR_UNRECOGNIZED_KEYWORD;
    return IsOneOf(verb, kCoreVerbs) ? MCIERR_EXTENSION_NOT_FOUND : MCIERR_UNRECOGNIZED_COMMAND;
  }
  const std::vector<std::string> rest(words->begin() + 2, words->end());
  const MCIERROR error = device->device->Run(verb, rest, reply);
  if (!error && SameKeyword(verb, "close")) {
    auto& devices = Devices();
    devices.erase(devices.begin() + (device - devices.data()));
  }
  return error;
}

}  // namespace

MCIERROR mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength, HWND) {
  if (returnString && returnLength > 0) returnString[0] = '\0';
  const std::string_view text = command ? std::string_view(command) : std::string_view{};
  std::string reply;
  MCIERROR error;
  {
    std::lock_guard lock(CommandsMutex());
    if (Recorder()) Recorder()(text);
    error = Run(text, reply);
  }
  // A reply longer than the buffer is cut to it, as the platform does with rectangles.
  if (!error && returnString && returnLength > 0) {
    const size_t n = std::min<size_t>(reply.size(), returnLength - 1);
    std::memcpy(returnString, reply.data(), n);
    returnString[n] = '\0';
  }
  return error;
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

void SetMciCommandRecorderForTesting(std::function<void(std::string_view)> recorder) {
  std::lock_guard lock(CommandsMutex());
  Recorder() = std::move(recorder);
}

}  // namespace orvex
