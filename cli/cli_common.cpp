#include "cli/cli_common.h"

#include "app/core/LocaleText.h"

namespace kx::cli {

std::string decimalSeparatorOrDot() {
  std::string s = environmentDecimalSeparator();
  return s.empty() ? "." : s;
}

}  // namespace kx::cli
