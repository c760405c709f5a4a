#pragma once
#include <stdexcept>
#include <string>

namespace cl {

// Every failure the operator must read: the message is the Italian text shown as it is.
class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace cl
