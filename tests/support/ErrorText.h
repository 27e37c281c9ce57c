#pragma once
// The message of the exception a call raises, for tables of error texts.
#include <functional>
#include <string>

#include "core/Exception.h"

namespace vxtest {

// The raised Exception's message, or "(no error)" when the call returns.
inline std::string ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const Exception& e) {
    return e.Message;
  }
  return "(no error)";
}

}  // namespace vxtest
