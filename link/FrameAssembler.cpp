#include "link/FrameAssembler.h"

#include <algorithm>

namespace kx::link {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

bool passesTerminatorCheck(std::string_view text) {
  return text.size() >= 44 && text.substr(40, 4) == "0D0A";
}

ReportEffect takeReport(AppState& state, std::uint8_t /*reportId*/, const std::uint8_t* data,
                        std::uint16_t size, const std::function<void(const std::string&)>& handOn) {
  // The count is the low digit of data byte 0; only 1 to 9 make a payload report.
  const unsigned count = size > 0 ? (data[0] & 0x0F) : 0;
  if (count >= 1 && count <= 9) {
    state.FrameInProgress = true;
    // A count larger than the bytes present appends only the bytes present.
    const unsigned present = std::min<unsigned>(count, size - 1u);
    for (unsigned b = 0; b < present; ++b) {
      const std::uint8_t v = data[1 + b];
      state.FrameBuffer += kHexDigits[v >> 4];
      state.FrameBuffer += kHexDigits[v & 0x0F];
    }
    if (state.FrameBuffer.size() > kFrameBufferLimit) {
      state.FrameBuffer.clear();
      state.FrameInProgress = false;
      return ReportEffect::Overflowed;
    }
    return ReportEffect::Appended;
  }
  // Any other report closes the frame.
  ReportEffect effect = ReportEffect::Ignored;
  if (state.FrameInProgress) {
    effect = ReportEffect::Dropped;
    if (passesTerminatorCheck(state.FrameBuffer)) {
      effect = ReportEffect::HandedOn;
      // A copy: the decoder may run a nested event loop, and the buffer must not move under it.
      if (handOn) handOn(std::string(state.FrameBuffer));
    }
    state.FrameBuffer.clear();
  }
  state.FrameInProgress = false;
  return effect;
}

}  // namespace kx::link
