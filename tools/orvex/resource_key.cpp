#include "resource_key.h"

#include <algorithm>
#include <optional>

#include "cli_error.h"
#include "platform/text/text.h"
#include "type_names.h"

namespace orvex::cli {

namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The value of decimal digits up to 65535, or nothing.
std::optional<uint32_t> Number16(std::string_view digits) {
  if (!AllDigits(digits)) return std::nullopt;
  uint32_t value = 0;
  for (char c : digits) {
    value = value * 10 + static_cast<uint32_t>(c - '0');
    if (value > 0xFFFF) return std::nullopt;
  }
  return value;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// The argument as UTF-16, refused when it has characters that the ANSI code page cannot
// carry to the platform: the members' conversion would turn them into "?" and name
// another resource.
std::u16string AnsiText(std::string_view text, const char* argument) {
  std::u16string wide = Utf8ToUtf16(text);
  const std::string ansi = UnicodeToAnsi(wide);
  if (std::count(ansi.begin(), ansi.end(), '?') != std::count(wide.begin(), wide.end(), u'?')) {
    throw CliError(std::string("cannot read ") + argument + " " + Quoted(text) +
                   ": it has characters outside the Windows-1252 code page");
  }
  return wide;
}

}  // namespace

ResourceKey ParseResourceKey(std::string_view type, std::string_view name) {
  if (type.empty()) throw CliError("cannot read TYPE \"\": give a type number or a type name");
  const bool hashed = type.front() == '#';
  const bool signedNumber =
      (type.front() == '-' || type.front() == '+') && AllDigits(type.substr(1));
  std::optional<uint32_t> number;
  if (hashed || AllDigits(type) || signedNumber) {
    if (!signedNumber) number = Number16(hashed ? type.substr(1) : type);
    if (!number || *number == 0) {
      throw CliError("cannot read TYPE " + Quoted(type) +
                     ": type numbers go from 1 to 65535 (for example 6 or 10)");
    }
  }
  ResourceKey key{std::string(type), std::string(name), AnsiText(type, "TYPE"), {}, number};
  // A standard type name stands for its number: the member receives the digits.
  if (!number) {
    if (const std::optional<uint16_t> standard = StandardTypeNumber(type)) {
      key.typeNumber = *standard;
      key.resType = Utf8ToUtf16(std::to_string(*standard));
    }
  }

  if (name.empty()) throw CliError("cannot read NAME \"\": give #NUMBER or a name");
  if (name.front() == '#' && !Number16(name.substr(1))) {
    throw CliError("cannot read NAME " + Quoted(name) +
                   ": \"#\" must be followed by a number from 0 to 65535 (for example #101)");
  }
  key.resName = AnsiText(name, "NAME");
  return key;
}

std::string NoResourceMessage(const std::string& what, const std::string& name,
                              const std::string& file) {
  std::string message = "no " + what + " named " + name + " in " + file;
  if (AllDigits(name)) message += " (a numbered resource is named #" + name + ")";
  return message;
}

}  // namespace orvex::cli
