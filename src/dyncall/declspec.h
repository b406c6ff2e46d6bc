// The calling conventions a client can name for a dynamic call.
#pragma once

#include <cstdint>

namespace orvex {

enum DECLSPEC : int32_t {
  eStdCall = 0,  // the callee removes its arguments
  eCDecl = 1,    // the caller removes them
};

// Only eCDecl selects caller clean-up; every other value acts as eStdCall.
inline bool CallerRemovesArguments(int32_t callType) {
  return callType == eCDecl;
}

}  // namespace orvex
