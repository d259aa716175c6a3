// kx3816-cli decode: decodes frame texts in order, as the window does, one JSON line each.

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "app/core/AppState.h"
#include "app/core/Cp936.h"
#include "cli/Commands.h"
#include "cli/cli_common.h"
#include "lcd/DecodeJson.h"
#include "lcd/FrameDecoder.h"
#include "lcd/LcdModel.h"

namespace kx::cli {
namespace {

bool onlyUpperHex(const std::string& text, size_t& bad) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) {
      bad = i;
      return false;
    }
  }
  return true;
}

}  // namespace

int cmdDecode(const Args& args) {
  std::string separator = decimalSeparatorOrDot();
  Args frames;
  bool fromArgs = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--decimal-separator") {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "kx3816-cli decode: --decimal-separator needs a value\n");
        return 2;
      }
      separator = args[++i];
    } else if (a.rfind("--decimal-separator=", 0) == 0) {
      separator = a.substr(std::strlen("--decimal-separator="));
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      std::fprintf(stderr, "kx3816-cli decode: unknown option '%s'\n", a.c_str());
      return 2;
    } else {
      frames.push_back(a);
      fromArgs = true;
    }
  }

  AppState state;
  lcd::LcdModel model;
  lcd::FrameDecoder decoder(model, state);
  // The texts hold code page 936 bytes; the symbol comes in as the terminal's UTF-8.
  decoder.setDecimalSeparator(utf8ToCp936(separator));
  decoder.setPauseMs(0);

  int status = 0;
  auto decodeOne = [&](std::string frame, const std::string& where) {
    if (!frame.empty() && frame.back() == '\r') frame.pop_back();
    if (frame.empty()) return;  // an empty line is no frame
    size_t bad = 0;
    if (!onlyUpperHex(frame, bad)) {
      const auto c = static_cast<unsigned char>(frame[bad]);
      if (c >= 0x20 && c < 0x7F)
        std::fprintf(stderr, "kx3816-cli decode: %s: character %zu is '%c', not 0-9 or A-F\n",
                     where.c_str(), bad + 1, c);
      else
        std::fprintf(stderr, "kx3816-cli decode: %s: character %zu is byte %02X, not 0-9 or A-F\n",
                     where.c_str(), bad + 1, c);
      status = 2;
      return;
    }
    const lcd::DecodeResult r = decoder.ShowDataTarn(frame);
    const std::string line = lcd::decodeJsonLine(frame, r, state, model) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
  };

  if (fromArgs) {
    for (size_t i = 0; i < frames.size(); ++i)
      decodeOne(frames[i], "argument " + std::to_string(i + 1));
  } else {
    std::string line;
    for (size_t n = 1; std::getline(std::cin, line); ++n)
      decodeOne(line, "line " + std::to_string(n));
  }
  return status;
}

}  // namespace kx::cli
