// Writing the members' texts and bytes to the terminal or a file. Texts are UTF-8; by
// default each CR LF of the member's text becomes LF, the line end of this system; raw
// output keeps the text exactly. Write failures (a full disk, a closed pipe) throw CliError.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

namespace orvex::cli {

enum class LineEnds { kLf, kAsIs };

// `text` as UTF-8, CR LF turned into LF for kLf.
std::string ToOutputText(std::u16string_view text, LineEnds lineEnds);

void WriteText(std::FILE* out, std::u16string_view text, LineEnds lineEnds);
void WriteBytes(std::FILE* out, std::span<const uint8_t> bytes);
void WriteString(std::FILE* out, std::string_view text);
// Flushes and checks the stream; `what` names it in the message.
void FinishOutput(std::FILE* out, const std::string& what);

}  // namespace orvex::cli
