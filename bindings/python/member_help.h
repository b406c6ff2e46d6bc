// Help texts of automation objects from the class table: each member with its parameters
// (type, optional, default, by reference) and its result type, as help() shows them.
#pragma once

#include <optional>
#include <string>

#include "platform/ole/unknown.h"

namespace orvex::python {

// "NAME (PROGID) members:" and one line per member; nothing for an object that is not one
// of this library's (its help then comes from its type information).
std::optional<std::string> DescribeFromClassTable(IDispatch* object);

// One member's line, as DescribeFromClassTable gives it; nothing when unknown.
std::optional<std::string> DescribeMemberFromClassTable(IDispatch* object, const std::string& name);

}  // namespace orvex::python
