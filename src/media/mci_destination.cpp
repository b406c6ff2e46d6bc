#include "media/mci_destination.h"

#include "base/runtime_error.h"
#include "platform/ole/wrappers.h"
#include "platform/text/text.h"

namespace orvex {
namespace {

struct Spaces {
  size_t s1, s2, s3;  // 1-based, 0 for none
};

// The 1-based position of the first space at or after 1-based `from`; 0 for none.
size_t SpaceFrom(std::string_view text, size_t from) {
  const size_t found = text.find(' ', from - 1);
  return found == std::string_view::npos ? 0 : found + 1;
}

Spaces FindSpaces(std::string_view reply) {
  Spaces s{};
  s.s1 = SpaceFrom(reply, 1);
  s.s2 = SpaceFrom(reply, s.s1 + 1);
  s.s3 = SpaceFrom(reply, s.s2 + 1);
  return s;
}

}  // namespace

std::string DestinationWidthText(std::string_view reply) {
  const Spaces s = FindSpaces(reply);
  if (s.s2 == 0 || s.s3 < s.s2) throw RuntimeError(Err::InvalidProcedureCall);
  return std::string(reply.substr(s.s2 - 1, s.s3 - s.s2));
}

std::string DestinationHeightText(std::string_view reply) {
  const Spaces s = FindSpaces(reply);
  return std::string(reply.substr(std::min(s.s3, reply.size())));
}

int32_t DestinationTwips(std::string_view text, double twipsPerPixel) {
  const double number = Variant(AnsiToUnicode(text)).ToDouble();
  return Variant(number * twipsPerPixel).ToLong();
}

}  // namespace orvex
