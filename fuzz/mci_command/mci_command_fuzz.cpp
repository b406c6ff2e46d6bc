// MCI command strings: the input, cut at its first line break, is sent as one command with
// a small reply buffer; the reply must end inside it. Devices left open are closed.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/media/mci.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string command(reinterpret_cast<const char*>(data), size);
  command = command.substr(0, command.find_first_of("\n\0", 0, 2));
  char reply[16];
  std::memset(reply, 'x', sizeof reply);
  orvex::mciSendStringA(command.c_str(), reply, 8, 0);
  if (std::memchr(reply, '\0', 8) == nullptr || reply[8] != 'x') __builtin_trap();
  orvex::mciSendStringA("close all", nullptr, 0, 0);
  return 0;
}
