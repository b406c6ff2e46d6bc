// ACCELERATORS: 8-byte entries (flags, key, command, padding), the last flagged 0x80.
#include "rc_script/rc_statements.h"
#include "rc_script/rc_text.h"

namespace orvex::rc {

namespace {
constexpr uint16_t kVirtKey = 0x01, kNoInvert = 0x02, kShift = 0x04, kControl = 0x08, kAlt = 0x10,
                   kLast = 0x80;
}

Expected<std::string> AcceleratorsStatement(const std::string& name, Bytes data) {
  if (data.empty() || data.size() % 8 != 0) return Error{"not a whole number of entries"};
  ByteReader reader(data);
  Encoder encoded;
  std::string out = name + " ACCELERATORS\nBEGIN\n";
  const size_t count = data.size() / 8;
  for (size_t i = 0; i < count; ++i) {
    uint16_t flags = 0, key = 0, command = 0, padding = 0;
    if (!reader.TryRead(flags) || !reader.TryRead(key) || !reader.TryRead(command) ||
        !reader.TryRead(padding))
      return Error{"entry " + std::to_string(i) + " is cut short"};
    const uint16_t known = kVirtKey | kNoInvert | kShift | kControl | kAlt;
    const uint16_t written = flags & known;
    out += "  " + std::to_string(key) + ", " + std::to_string(command);
    out += (written & kVirtKey) ? ", VIRTKEY" : ", ASCII";
    if (written & kNoInvert) out += ", NOINVERT";
    if (written & kShift) out += ", SHIFT";
    if (written & kControl) out += ", CONTROL";
    if (written & kAlt) out += ", ALT";
    out += "\n";
    encoded.Word(static_cast<uint16_t>(written | (i + 1 == count ? kLast : 0)));
    encoded.Word(key);
    encoded.Word(command);
    encoded.Word(0);
  }
  if (!SameBytes(encoded, data.data(), data.size()))
    return Error{"flags or padding the statement cannot carry"};
  return out + "END\n";
}

}  // namespace orvex::rc
