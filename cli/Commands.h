#pragma once
// The commands of kx3816-cli. Each takes the arguments after its name and returns the exit
// status. Every command lives in a file of its own (cmd_<name>.cpp).

#include <string>
#include <vector>

namespace kx::cli {

using Args = std::vector<std::string>;

struct Command {
  const char* name;
  const char* usage;  // one line for --help
  int (*run)(const Args& args);
};

// The table of commands, in the order --help lists them.
const std::vector<Command>& commands();

}  // namespace kx::cli
