#include "resource_key.h"

#include <algorithm>

#include "cli_error.h"
#include "platform/text/text.h"

namespace orvex::cli {

namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The value of 1 to 5 decimal digits up to 65535, or nothing.
std::optional<uint16_t> Number16(std::string_view digits) {
  if (!AllDigits(digits)) return std::nullopt;
  const std::string_view trimmed =
      digits.substr(std::min(digits.find_first_not_of('0'), digits.size() - 1));
  if (trimmed.size() > 5) return std::nullopt;
  const unsigned long value = std::stoul(std::string(trimmed));
  if (value > 0xFFFF) return std::nullopt;
  return static_cast<uint16_t>(value);
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// The text as UTF-16, refusing characters that the ANSI code page cannot carry to the
// platform (they would arrive as "?" and name another resource).
std::u16string AnsiSafe(std::string_view text, const char* argument) {
  std::u16string wide = Utf8ToUtf16(text);
  if (AnsiToUnicode(UnicodeToAnsi(wide)) != wide) {
    throw CliError(std::string("cannot read ") + argument + " " + Quoted(text) +
                   ": it has characters outside the Windows-1252 code page");
  }
  return wide;
}

}  // namespace

ResourceKey ParseResourceKey(std::string_view type, std::string_view name) {
  ResourceKey key;
  key.typeText = type;
  key.nameText = name;

  if (type.empty()) throw CliError("cannot read TYPE \"\": give a type number or a type name");
  const bool hashed = type.front() == '#';
  const std::string_view digits = hashed ? type.substr(1) : type;
  const bool signedNumber =
      (type.front() == '-' || type.front() == '+') && AllDigits(type.substr(1));
  if (hashed || AllDigits(type) || signedNumber) {
    const std::optional<uint16_t> number = signedNumber ? std::nullopt : Number16(digits);
    if (!number || *number == 0) {
      throw CliError("cannot read TYPE " + Quoted(type) +
                     ": type numbers go from 1 to 65535 (for example 6 or 10)");
    }
    key.typeNumber = number;
    key.resType = Utf8ToUtf16(std::to_string(*number));
  } else {
    key.resType = AnsiSafe(type, "TYPE");
  }

  if (name.empty()) throw CliError("cannot read NAME \"\": give #NUMBER or a name");
  if (name.front() == '#' && !Number16(name.substr(1))) {
    throw CliError("cannot read NAME " + Quoted(name) +
                   ": \"#\" must be followed by a number from 0 to 65535 (for example #101)");
  }
  key.resName = AnsiSafe(name, "NAME");
  return key;
}

}  // namespace orvex::cli
