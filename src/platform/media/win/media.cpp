// Media control strings and sounds are the platform's own (winmm).
#include <mutex>
#include <string>
#include <utility>

#include "platform/media/mci.h"
#include "platform/media/sound.h"

#include "platform/core/win/windows_sdk.h"

namespace orvex {

namespace {

std::mutex recorderMutex;
std::function<void(std::string_view)> recorder;

}  // namespace

MCIERROR mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength, HWND callback) {
  {
    std::lock_guard lock(recorderMutex);
    if (recorder && command != nullptr) recorder(command);
  }
  return ::mciSendStringA(command, returnString, returnLength, win::ToReal<::HWND>(callback));
}

void SetMciCommandRecorderForTesting(std::function<void(std::string_view)> next) {
  std::lock_guard lock(recorderMutex);
  recorder = std::move(next);
}

BOOL mciGetErrorStringA(MCIERROR error, LPSTR text, UINT length) {
  return ::mciGetErrorStringA(error, text, length);
}

BOOL sndPlaySoundA(LPCSTR nameOrBytes, UINT flags) {
  return ::sndPlaySoundA(nameOrBytes, flags);
}

}  // namespace orvex
