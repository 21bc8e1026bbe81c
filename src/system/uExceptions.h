// The exception classes of the system. The text-file layer raises them; the plugin's
// entry points catch everything, so none of them ever reaches the host.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(std::string AMessage) : fMessage(std::move(AMessage)) {}
  const char* what() const noexcept override { return fMessage.c_str(); }
  const std::string& Message() const { return fMessage; }

private:
  std::string fMessage;
};

// A conversion between UTF-16 and a byte encoding was refused.
class EStringError : public Exception {
  using Exception::Exception;
};

// A write took no bytes, or the encoding in force cannot be written.
class EWriteError : public Exception {
  using Exception::Exception;
};

// A stream offset outside the signed 32-bit range.
class ERangeError : public Exception {
  using Exception::Exception;
};

// A file could not be opened or created.
class EFOpenError : public Exception {
  using Exception::Exception;
};
