// kx3816-cli: the program's core without a window, for scripts.

#include <cstdio>
#include <cstring>
#include <exception>

#include "cli/Commands.h"

namespace {

void usage(std::FILE* out) {
  std::fprintf(out,
               "Usage: kx3816-cli COMMAND [ARGS...]\n"
               "       kx3816-cli --help | --version\n\n"
               "Commands:\n");
  for (const auto& c : kx::cli::commands()) std::fprintf(out, "  %s\n", c.usage);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    usage(stderr);
    return 2;
  }
  const char* name = argv[1];
  if (!std::strcmp(name, "--help") || !std::strcmp(name, "-h")) {
    usage(stdout);
    return 0;
  }
  if (!std::strcmp(name, "--version")) {
    std::printf("kx3816-cli 1.00 (KX-3816 V1.00)\n");
    return 0;
  }
  for (const auto& c : kx::cli::commands()) {
    if (std::strcmp(c.name, name) != 0) continue;
    try {
      return c.run(kx::cli::Args(argv + 2, argv + argc));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "kx3816-cli %s: %s\n", name, e.what());
      return 1;
    }
  }
  std::fprintf(stderr, "kx3816-cli: unknown command '%s'\n\n", name);
  usage(stderr);
  return 2;
}
