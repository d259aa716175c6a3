#pragma once
// A simulated "USB to Serial" bridge with a meter behind it, for `--demo` and for tests.
//
// The bridge behaves like the HID serial bridge chips: 8-byte input reports whose first byte is
// F0 | n with up to 7 serial bytes after it, bytes paced as a 2400-baud line delivers them, an
// idle report (F0 and zeros) about every 12 ms when no byte is waiting, and a queue of 64
// reports that drops the oldest when the reader falls behind. It sends nothing until it has
// received the set-up feature report after each plug-in. No thread of its own: reports are
// produced, by the clock, when the device's read thread asks for them.

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "link/Hid.h"

namespace kx::link {

using SimClock = std::function<std::chrono::steady_clock::time_point()>;

// The meter: where frames come from. Called with the bridge's lock held.
class FrameSource {
 public:
  virtual ~FrameSource() = default;
  // The next frame text (upper-case hex, two digits per byte).
  virtual std::string nextFrame() = 0;
};

// Plays frame texts in a loop.
class FrameList : public FrameSource {
 public:
  explicit FrameList(std::vector<std::string> frames) : frames_(std::move(frames)) {}
  std::string nextFrame() override;

 private:
  std::vector<std::string> frames_;
  std::size_t next_ = 0;
};

// Reads frame texts from a file, one a line (blank lines skipped). Each line must be hex digits,
// an even number of them, at most 512. On failure returns null and sets `error`.
std::unique_ptr<FrameSource> loadFrameFile(const std::string& path, std::string& error);

// The built-in demonstration: a scenario that lights every part of the replica.
std::unique_ptr<FrameSource> makeDemoScenario();
// The frames of one pass through the scenario.
std::vector<std::string> demoScenarioFrames();

// Converts a frame text to its bytes; false for a text that is not whole hex bytes.
bool hexToBytes(const std::string& text, std::vector<std::uint8_t>& out);

// The bridge chip with the meter's serial line behind it, driven by time. Not thread-safe:
// SimBridge holds the lock.
class SimLine {
 public:
  using Report = std::array<std::uint8_t, 8>;
  using TimePoint = std::chrono::steady_clock::time_point;
  static constexpr std::size_t kQueueLimit = 64;
  static constexpr std::chrono::microseconds kPoll{4000};        // USB polling interval
  static constexpr std::chrono::microseconds kByteTime{4167};    // 10 bits at 2400 baud
  static constexpr std::chrono::microseconds kIdleEvery{12000};  // idle report period

  enum class Fault { None, Broken, Garbage };

  explicit SimLine(FrameSource* frames) : frames_(frames) {}
  void setFramePeriod(std::chrono::milliseconds p) { period_ = p; }
  void setSilent(bool silent) { silent_ = silent; }
  void setFault(Fault f) { fault_ = f; }

  // The set-up report arrived: start sending (if not yet).
  void start(TimePoint now);
  // Plugged out: forget everything, send nothing until started again.
  void reset();
  bool running() const { return running_; }

  // Produces every report due up to `now`.
  void advanceTo(TimePoint now);
  bool hasReport() const { return !queue_.empty(); }
  Report takeReport();
  std::size_t dropped() const { return dropped_; }

 private:
  void scheduleFrame(TimePoint at);
  void push(const Report& r);

  FrameSource* frames_;
  std::chrono::milliseconds period_{250};
  bool silent_ = false;
  Fault fault_ = Fault::None;
  bool running_ = false;
  TimePoint lastPoll_{}, lastReport_{}, nextFrame_{}, lineFree_{};
  std::deque<std::pair<TimePoint, std::uint8_t>> line_;  // serial bytes and when they arrive
  std::deque<Report> queue_;
  std::size_t dropped_ = 0;
  std::mt19937 random_{3816};
};

// The controller with the simulated bridge (and, for device changes, another HID device).
class SimBridge : public HidController {
 public:
  explicit SimBridge(std::unique_ptr<FrameSource> frames, SimClock clock = {});
  ~SimBridge() override;

  enum class FeatureAnswer { Accept, AcceptShortOnly, Reject };

  // Fault controls and observations, on the GUI thread.
  void plug();
  void unplug();
  bool plugged() const;
  void plugOther(bool in);  // another HID device ("USB Keyboard") comes or goes
  void setSilent(bool silent);
  void setFault(SimLine::Fault fault);
  void setReadErrors(bool on);
  void setFeatureAnswer(FeatureAnswer a);
  // Applies to device objects made from now on (as the real access test does).
  void setReadWriteAccess(bool on);
  void setFramePeriod(std::chrono::milliseconds p);
  std::vector<std::vector<std::uint8_t>> featureReports() const;
  bool sending() const;

 private:
  struct State;
  class Device;
  class Source;
  void rescan();

  std::shared_ptr<State> state_;
  bool otherPlugged_ = false;
};

}  // namespace kx::link
