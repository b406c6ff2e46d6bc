// The numbers ShowAVI reads from the reply to "Where video destination" ("left top width
// height", single spaces), found as the member finds them: the first three spaces s1, s2,
// s3 (1-based positions; 0 when there is none, and a search after a 0 starts again at the
// text's start).
#pragma once

#include <string>
#include <string_view>

namespace orvex {

// The text from position s2, s3 - s2 characters long (its leading space included).
// Err::InvalidProcedureCall when s2 is 0 or s3 lies before s2, as a text cut from position
// 0 or to a negative length fails.
std::string DestinationWidthText(std::string_view reply);
// The text after position s3 (the whole reply when s3 is 0).
std::string DestinationHeightText(std::string_view reply);
// A reply text as a number, times `twipsPerPixel`, rounded to a Long (halves to even).
// Err::TypeMismatch for a text that is no number, Err::Overflow past a Long.
int32_t DestinationTwips(std::string_view text, double twipsPerPixel);

}  // namespace orvex
