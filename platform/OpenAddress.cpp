#include "platform/OpenAddress.h"

#include <SDL.h>

namespace vx {

bool OpenAddressOnDesktop(const std::string& address, std::string* error) {
  // Anything but a web address could run a local file through the desktop's handlers.
  if (address.rfind("https://", 0) != 0 && address.rfind("http://", 0) != 0) {
    if (error != nullptr) *error = "not a web address: " + address;
    return false;
  }
  if (SDL_OpenURL(address.c_str()) != 0) {
    if (error != nullptr) *error = SDL_GetError();
    return false;
  }
  return true;
}

}  // namespace vx
