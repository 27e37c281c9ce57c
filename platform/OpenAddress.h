#pragma once
// The desktop's "open" action for an address (the home page): the user's browser opens it.
#include <string>

namespace vx {

// True when the desktop took the request; false (with the reason in `error`) otherwise. Only
// web addresses are passed on.
bool OpenAddressOnDesktop(const std::string& address, std::string* error = nullptr);

}  // namespace vx
