#pragma once
// What the environment's locale says, read without touching the process's own setlocale.

#include <string>

namespace kx {

// The decimal symbol of LC_NUMERIC as the environment names it (LC_ALL, LC_NUMERIC, LANG); at
// most 9 bytes; empty when that locale is not available.
std::string environmentDecimalSeparator();

}  // namespace kx
