#pragma once
// A HID controller for tests of the connection logic: devices described by a test, feature
// reports recorded, no read threads (the test delivers reports through the attached handler),
// and a watchdog driven by a test clock.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/Hid.h"
#include "link/LinkController.h"

namespace kx::link::test {

struct FakeSpec {
  std::wstring product = L"USB to Serial";
  std::wstring serial;
  std::uint16_t vid = 0x1A86, pid = 0xE008;
  bool access = true;
  bool acceptLong = true;   // takes the 10-byte set-up report
  bool acceptShort = true;  // takes the 6-byte form
  bool claimable = true;
  // Where a read thread gets reports; none by default (the test delivers them itself).
  std::function<std::unique_ptr<ReportSource>()> source;
};

class FakeDevice : public HidDevice {
 public:
  explicit FakeDevice(FakeSpec s) : spec(std::move(s)) {}
  std::wstring productName() const override { return spec.product; }
  std::wstring serialNumber() const override { return spec.serial; }
  std::uint16_t vendorId() const override { return spec.vid; }
  std::uint16_t productId() const override { return spec.pid; }
  std::string path() const override { return "fake"; }
  bool hasReadWriteAccess() const override { return spec.access; }
  bool sendFeatureReport(const std::uint8_t* r, std::size_t n) override {
    features.emplace_back(r, r + n);
    return n == 10 ? spec.acceptLong : spec.acceptShort;
  }
  // Hands a report to the attached handler, as the read thread would.
  bool deliver(const std::vector<std::uint8_t>& data) {
    if (!dataHandler()) return false;
    dataHandler()(*this, 0, data.data(), static_cast<std::uint16_t>(data.size()));
    return true;
  }

  FakeSpec spec;
  std::vector<std::vector<std::uint8_t>> features;

 protected:
  std::unique_ptr<ReportSource> openReports() override {
    return spec.source ? spec.source() : nullptr;
  }
};

class FakeController : public HidController {
 public:
  ~FakeController() override { shutDown(); }
  // Replaces the devices present; raises a device change when the set differs.
  // Each call is a new set unless `keys` name the devices (one key per spec).
  void setDevices(const std::vector<FakeSpec>& specs, std::vector<std::string> keys = {}) {
    std::vector<Scanned> scan;
    ++generation_;
    for (std::size_t i = 0; i < specs.size(); ++i)
      scan.push_back(
          {i < keys.size() ? keys[i] : std::to_string(generation_) + "/" + std::to_string(i),
           std::make_unique<FakeDevice>(specs[i])});
    takeScan(std::move(scan));
  }
  HidDevice* claim(int index) override {
    HidDevice* d = nullptr;
    enumerate([&](HidDevice& dev, int i) {
      if (i == index) d = &dev;
      return i < index;
    });
    if (d && !static_cast<FakeDevice*>(d)->spec.claimable) return nullptr;
    return HidController::claim(index);
  }

 private:
  int generation_ = 0;
};

// Timer2 on a test clock in milliseconds: each tick comes 1000 ms after the last enable or tick.
class ManualWatchdog : public Watchdog {
 public:
  void setEnabled(bool on) override {
    if (on && !on_) due_ = now_ + 1000;
    on_ = on;
  }
  bool enabled() const override { return on_; }
  void attach(LinkController* c) { controller_ = c; }
  // Moves the clock to `t`, running every tick due on the way.
  void advanceTo(long t) {
    while (on_ && due_ <= t) {
      now_ = due_;
      due_ += 1000;
      ++ticks;
      if (controller_) controller_->Timer2Timer();
    }
    now_ = t;
  }
  long now() const { return now_; }
  int ticks = 0;

 private:
  bool on_ = false;
  long now_ = 0, due_ = 0;
  LinkController* controller_ = nullptr;
};

}  // namespace kx::link::test
