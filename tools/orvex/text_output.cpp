#include "text_output.h"

#include <cerrno>
#include <cstring>

#include "cli_error.h"
#include "platform/text/text.h"

namespace orvex::cli {

namespace {

[[noreturn]] void ThrowWriteFailure(int error) {
  throw CliError(std::string("cannot write the output: ") + std::strerror(error));
}

}  // namespace

std::string ToOutputText(std::u16string_view text, LineEnds lineEnds) {
  std::string out = Utf16ToUtf8(text);
  if (lineEnds == LineEnds::kAsIs) return out;
  // CR LF to LF in place; a CR on its own stays.
  size_t write = 0;
  for (size_t read = 0; read < out.size(); ++read) {
    if (out[read] == '\r' && read + 1 < out.size() && out[read + 1] == '\n') continue;
    out[write++] = out[read];
  }
  out.resize(write);
  return out;
}

void WriteString(std::FILE* out, std::string_view text) {
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), out) != text.size())
    ThrowWriteFailure(errno);
}

void WriteText(std::FILE* out, std::u16string_view text, LineEnds lineEnds) {
  WriteString(out, ToOutputText(text, lineEnds));
}

void WriteBytes(std::FILE* out, std::span<const uint8_t> bytes) {
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size())
    ThrowWriteFailure(errno);
}

void FinishOutput(std::FILE* out, const std::string& what) {
  if (std::fflush(out) != 0 || std::ferror(out)) {
    throw CliError("cannot write " + what + ": " + std::strerror(errno));
  }
}

}  // namespace orvex::cli
