#include "cli/Commands.h"

namespace kx::cli {

// Each command's entry point, defined in its own file.
// (declarations are added here as the commands are added to the table below)

const std::vector<Command>& commands() {
  static const std::vector<Command> table = {};
  return table;
}

}  // namespace kx::cli
