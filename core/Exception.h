#pragma once
// The one exception base of the system: every error carries a message text, which the
// message loop logs as "ERROR: " + Message.
#include <exception>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(std::string message) : Message(std::move(message)) {}
  const char* what() const noexcept override { return Message.c_str(); }
  std::string Message;
};

// Integer arithmetic that would overflow (the runtime's overflow check).
class EOverflow : public Exception {
public:
  EOverflow() : Exception("Arithmetic overflow") {}
  using Exception::Exception;
};

// A text that does not convert to the requested type.
class EConvertError : public Exception {
public:
  using Exception::Exception;
};
