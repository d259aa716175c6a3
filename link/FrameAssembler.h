#pragma once
// Frame reassembly: the serial bytes of the bridge's input reports are collected as upper-case
// hexadecimal text in AppState::FrameBuffer; the first report that carries no serial bytes
// closes the frame, which is handed on when its bytes 21 and 22 are 0D 0A.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/core/AppState.h"

namespace kx::link {

// Past this many characters a frame that never closes is dropped; collecting starts again
// with the next payload report.
inline constexpr std::size_t kFrameBufferLimit = 65536;

// What one report did to the frame being collected.
enum class ReportEffect {
  Appended,    // a payload report: its bytes were appended
  Ignored,     // a closing report while no frame was in progress
  Dropped,     // a frame was closed and failed the terminator check
  HandedOn,    // a frame was closed and handed to the decoder
  Overflowed,  // the collected text passed the limit and was dropped
};

// Takes one input report (report ID, then `size` data bytes) into `state`. When a closed frame
// passes the terminator check, `handOn` is called with the whole collected text before the
// buffer is emptied. The report ID is not used.
ReportEffect takeReport(AppState& state, std::uint8_t reportId, const std::uint8_t* data,
                        std::uint16_t size, const std::function<void(const std::string&)>& handOn);

// True when characters 41 to 44 of `text` are "0D0A".
bool passesTerminatorCheck(std::string_view text);

}  // namespace kx::link
