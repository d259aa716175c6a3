// kx3816-cli frames: HID input reports in (one a line, hexadecimal bytes separated by blanks,
// report ID first, as read from the device), the frame texts that the reassembly hands to the
// decoder out, one a line.

#include <cctype>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "link/FrameAssembler.h"

namespace kx::cli {

namespace {

// Parses "F3 41 42 43"; false with a reason for anything else.
bool parseReport(const std::string& line, std::vector<std::uint8_t>& bytes, std::string& why) {
  bytes.clear();
  std::size_t i = 0;
  while (i < line.size()) {
    if (std::isspace(static_cast<unsigned char>(line[i]))) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j]))) ++j;
    const std::string token = line.substr(i, j - i);
    if (token.size() > 2 || !std::isxdigit(static_cast<unsigned char>(token[0])) ||
        (token.size() == 2 && !std::isxdigit(static_cast<unsigned char>(token[1])))) {
      why = "'" + token + "' is not a hexadecimal byte";
      return false;
    }
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(token, nullptr, 16)));
    i = j;
  }
  if (bytes.size() > 0x10000) {
    why = "a report has at most 65536 bytes";
    return false;
  }
  return true;
}

}  // namespace

int cmdFrames(const Args& args) {
  if (!args.empty()) {
    std::fprintf(stderr, "usage: kx3816-cli frames < reports\n");
    return 2;
  }
  AppState state;
  std::string line;
  std::vector<std::uint8_t> bytes;
  long lineNo = 0;
  while (std::getline(std::cin, line)) {
    ++lineNo;
    std::string why;
    if (!parseReport(line, bytes, why)) {
      std::fprintf(stderr, "kx3816-cli frames: line %ld: %s\n", lineNo, why.c_str());
      return 2;
    }
    if (bytes.empty()) continue;  // a read that returns no bytes is not passed on
    link::takeReport(state, bytes[0], bytes.data() + 1,
                     static_cast<std::uint16_t>(bytes.size() - 1),
                     [](const std::string& frame) { std::printf("%s\n", frame.c_str()); });
  }
  return 0;
}

}  // namespace kx::cli
