#pragma once
// The shared state of the main window's operations. One instance exists for the whole run;
// it is created with its start values before any window and outlives the window.
// Texts are bytes exactly as the meter and the files carry them (the ohm sign is A6 B8).

#include <cstdint>
#include <string>

namespace kx {

inline constexpr char kOhm[] = "\xA6\xB8";  // the ohm sign in code page 936

struct AppState {
  std::string AppDir;  // program directory with its trailing '/'; set by FormCreate
  std::string FrameBuffer;
  bool FrameInProgress = false;
  std::string ReadingText = "0000";
  std::string FunctionText = std::string("IR:500V 20G") + kOhm;
  std::string RemarkText = "40.0A";
  std::string UnitText;
  int32_t RecordNo = 1;
  int32_t RecordLimit = 10000;
  std::string LastRecordedText;
  int32_t IntervalCountdown = 0;
  int32_t DataReportPages = 1;
};

}  // namespace kx
