#pragma once
// Small services shared by the commands.

#include <string>

namespace kx::cli {

// The decimal symbol the window would read from the environment; a dot where that locale is
// not available, so that readings keep a separator.
std::string decimalSeparatorOrDot();

}  // namespace kx::cli
