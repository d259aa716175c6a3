#include "link/SimBridge.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <thread>

namespace kx::link {

namespace {

constexpr std::uint8_t kSetUp[6] = {0x00, 0x60, 0x09, 0x00, 0x00, 0x03};
constexpr std::size_t kMaxFrameChars = 512;

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

bool hexToBytes(const std::string& text, std::vector<std::uint8_t>& out) {
  out.clear();
  if (text.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int hi = hexValue(text[i]), lo = hexValue(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  return true;
}

std::string FrameList::nextFrame() {
  if (frames_.empty()) return {};
  const std::string& f = frames_[next_];
  next_ = (next_ + 1) % frames_.size();
  return f;
}

std::unique_ptr<FrameSource> loadFrameFile(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "Cannot open " + path;
    return nullptr;
  }
  std::vector<std::string> frames;
  std::string line;
  std::vector<std::uint8_t> bytes;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    std::size_t start = 0;
    while (start < line.size() && std::isspace(static_cast<unsigned char>(line[start]))) ++start;
    line.erase(0, start);
    if (line.empty()) continue;
    if (line.size() > kMaxFrameChars || !hexToBytes(line, bytes)) {
      error = path + ":" + std::to_string(lineNo) +
              ": not a frame text (hexadecimal bytes, at most 256 of them)";
      return nullptr;
    }
    for (char& c : line) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    frames.push_back(line);
  }
  if (frames.empty()) {
    error = path + ": no frame texts";
    return nullptr;
  }
  return std::make_unique<FrameList>(std::move(frames));
}

// --- SimLine ---

void SimLine::start(TimePoint now) {
  if (running_) return;
  running_ = true;
  lastPoll_ = lastReport_ = nextFrame_ = lineFree_ = now;
  line_.clear();
  queue_.clear();
}

void SimLine::reset() {
  running_ = false;
  line_.clear();
  queue_.clear();
}

void SimLine::scheduleFrame(TimePoint at) {
  std::string text = frames_ && !silent_ ? frames_->nextFrame() : std::string();
  std::vector<std::uint8_t> bytes;
  if (text.empty() || !hexToBytes(text, bytes)) return;
  if (fault_ == Fault::Broken) {
    // A frame cut short, or one whose terminator was hit by noise.
    if (random_() % 2 == 0)
      bytes.resize(random_() % bytes.size());
    else if (bytes.size() >= 1)
      bytes.back() ^= static_cast<std::uint8_t>(1 + random_() % 255);
  }
  // The meter leaves a gap after each frame, long enough for the bridge's idle report that
  // closes it.
  TimePoint t = std::max(at, lineFree_ + kIdleEvery + 2 * kPoll);
  for (std::uint8_t b : bytes) {
    t += kByteTime;
    line_.emplace_back(t, b);
  }
  lineFree_ = t;
}

void SimLine::push(const Report& r) {
  queue_.push_back(r);
  while (queue_.size() > kQueueLimit) {
    queue_.pop_front();
    ++dropped_;
  }
}

void SimLine::advanceTo(TimePoint now) {
  if (!running_) return;
  // A reader that has been away a long time finds a full queue of the last reports; there is
  // no need to produce what would be dropped anyway.
  constexpr auto kCatchUp = std::chrono::seconds(1);
  if (now - lastPoll_ > 2 * kCatchUp) {
    lastPoll_ = lastReport_ = now - kCatchUp;
    nextFrame_ = std::max(nextFrame_, lastPoll_);
    lineFree_ = std::max(lineFree_, lastPoll_);
    while (!line_.empty() && line_.front().first < lastPoll_) line_.pop_front();
  }
  for (TimePoint tp = lastPoll_ + kPoll; tp <= now; tp += kPoll) {
    while (nextFrame_ <= tp) {
      scheduleFrame(nextFrame_);
      nextFrame_ += period_;
    }
    Report r{};
    r[0] = 0xF0;
    if (fault_ == Fault::Garbage) {
      for (auto& b : r) b = static_cast<std::uint8_t>(random_());
      line_.clear();
      push(r);
      lastReport_ = tp;
    } else {
      std::uint8_t n = 0;
      while (n < 7 && !line_.empty() && line_.front().first <= tp) {
        r[1 + n++] = line_.front().second;
        line_.pop_front();
      }
      if (n > 0 || tp - lastReport_ >= kIdleEvery) {
        r[0] = static_cast<std::uint8_t>(0xF0 | n);
        push(r);
        lastReport_ = tp;
      }
    }
    lastPoll_ = tp;
  }
}

SimLine::Report SimLine::takeReport() {
  Report r = queue_.front();
  queue_.pop_front();
  return r;
}

// --- SimBridge ---

struct SimBridge::State {
  explicit State(std::unique_ptr<FrameSource> f, SimClock c)
      : frames(std::move(f)), clock(std::move(c)), line(frames.get()) {}
  mutable std::mutex mutex;
  std::unique_ptr<FrameSource> frames;
  SimClock clock;
  SimLine line;
  bool plugged = true;
  unsigned generation = 1;  // counts plug-ins; a device object belongs to one
  bool readErrors = false;
  bool readWrite = true;
  FeatureAnswer answer = FeatureAnswer::Accept;
  std::vector<std::vector<std::uint8_t>> featureLog;
};

class SimBridge::Source : public ReportSource {
 public:
  Source(std::shared_ptr<State> s, unsigned generation)
      : state_(std::move(s)), generation_(generation) {}
  Result read(InputReport& out, std::chrono::milliseconds timeout) override {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      {
        std::lock_guard lock(state_->mutex);
        if (!state_->plugged || state_->generation != generation_ || state_->readErrors)
          return Result::Error;
        state_->line.advanceTo(state_->clock());
        if (state_->line.hasReport()) {
          const SimLine::Report r = state_->line.takeReport();
          // No numbered reports: report ID 0, then the 8 bytes.
          out.reportId = 0;
          out.data.assign(r.begin(), r.end());
          return Result::Report;
        }
      }
      if (std::chrono::steady_clock::now() >= deadline) return Result::Timeout;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

 private:
  std::shared_ptr<State> state_;
  unsigned generation_;
};

class SimBridge::Device : public HidDevice {
 public:
  Device(std::shared_ptr<State> s, unsigned generation, bool bridge, bool access)
      : state_(std::move(s)), generation_(generation), bridge_(bridge), access_(access) {}
  ~Device() override { clearDataHandler(); }
  std::wstring productName() const override { return bridge_ ? L"USB to Serial" : L"USB Keyboard"; }
  std::wstring serialNumber() const override { return {}; }
  std::uint16_t vendorId() const override { return bridge_ ? 0x1A86 : 0x046D; }
  std::uint16_t productId() const override { return bridge_ ? 0xE008 : 0xC31C; }
  std::string path() const override { return bridge_ ? "sim:bridge" : "sim:keyboard"; }
  bool hasReadWriteAccess() const override { return access_; }
  bool sendFeatureReport(const std::uint8_t* report, std::size_t length) override {
    if (!bridge_) return false;
    std::lock_guard lock(state_->mutex);
    if (!state_->plugged || state_->generation != generation_) return false;
    state_->featureLog.emplace_back(report, report + length);
    if (state_->answer == FeatureAnswer::Reject) return false;
    if (state_->answer == FeatureAnswer::AcceptShortOnly && length != 6) return false;
    if (length >= 6 && std::equal(kSetUp, kSetUp + 6, report)) state_->line.start(state_->clock());
    return true;
  }

 protected:
  std::unique_ptr<ReportSource> openReports() override {
    if (!bridge_ || !access_) return nullptr;
    std::lock_guard lock(state_->mutex);
    if (!state_->plugged || state_->generation != generation_) return nullptr;
    return std::make_unique<Source>(state_, generation_);
  }

 private:
  std::shared_ptr<State> state_;
  unsigned generation_;
  bool bridge_;
  bool access_;
};

SimBridge::SimBridge(std::unique_ptr<FrameSource> frames, SimClock clock)
    : state_(std::make_shared<State>(std::move(frames), clock ? std::move(clock) : SimClock([] {
                                       return std::chrono::steady_clock::now();
                                     }))) {
  rescan();
}

SimBridge::~SimBridge() {
  shutDown();
}

void SimBridge::rescan() {
  std::vector<Scanned> scan;
  bool plugged, access;
  unsigned generation;
  {
    std::lock_guard lock(state_->mutex);
    plugged = state_->plugged;
    access = state_->readWrite;
    generation = state_->generation;
  }
  if (otherPlugged_)
    scan.push_back({"sim:keyboard", std::make_unique<Device>(state_, generation, false, true)});
  if (plugged)
    scan.push_back({"sim:bridge#" + std::to_string(generation),
                    std::make_unique<Device>(state_, generation, true, access)});
  takeScan(std::move(scan));
}

void SimBridge::plug() {
  {
    std::lock_guard lock(state_->mutex);
    if (state_->plugged) return;
    state_->plugged = true;
    ++state_->generation;
    state_->line.reset();
  }
  rescan();
}

void SimBridge::unplug() {
  {
    std::lock_guard lock(state_->mutex);
    if (!state_->plugged) return;
    state_->plugged = false;
    state_->line.reset();
  }
  rescan();
}

bool SimBridge::plugged() const {
  std::lock_guard lock(state_->mutex);
  return state_->plugged;
}

void SimBridge::plugOther(bool in) {
  if (otherPlugged_ == in) return;
  otherPlugged_ = in;
  rescan();
}

void SimBridge::setSilent(bool silent) {
  std::lock_guard lock(state_->mutex);
  state_->line.setSilent(silent);
}

void SimBridge::setFault(SimLine::Fault fault) {
  std::lock_guard lock(state_->mutex);
  state_->line.setFault(fault);
}

void SimBridge::setReadErrors(bool on) {
  std::lock_guard lock(state_->mutex);
  state_->readErrors = on;
}

void SimBridge::setFeatureAnswer(FeatureAnswer a) {
  std::lock_guard lock(state_->mutex);
  state_->answer = a;
}

void SimBridge::setReadWriteAccess(bool on) {
  std::lock_guard lock(state_->mutex);
  state_->readWrite = on;
}

void SimBridge::setFramePeriod(std::chrono::milliseconds p) {
  std::lock_guard lock(state_->mutex);
  state_->line.setFramePeriod(p);
}

std::vector<std::vector<std::uint8_t>> SimBridge::featureReports() const {
  std::lock_guard lock(state_->mutex);
  return state_->featureLog;
}

bool SimBridge::sending() const {
  std::lock_guard lock(state_->mutex);
  return state_->line.running();
}

}  // namespace kx::link
