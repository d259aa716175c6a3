#pragma once
// One decoded frame as a line of JSON, for scripts: the frame, whether it was accepted and
// handed to recording, the four reading texts (as UTF-8), the visible elements sorted by
// name bytes and the captions of the thirteen digit labels.

#include <string>
#include <string_view>

#include "app/core/AppState.h"
#include "lcd/FrameDecoder.h"
#include "lcd/LcdModel.h"

namespace kx::lcd {

std::string decodeJsonLine(std::string_view frame, const DecodeResult& result,
                           const AppState& state, const LcdModel& model);

// A JSON string literal of UTF-8 text, with quotes, backslashes and control characters escaped.
std::string jsonString(std::string_view utf8);

}  // namespace kx::lcd
