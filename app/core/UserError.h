#pragma once
// An error that ends a command and reaches the user through the general error report.

#include <stdexcept>
#include <string>

namespace kx {

class UserError : public std::runtime_error {
 public:
  explicit UserError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace kx
