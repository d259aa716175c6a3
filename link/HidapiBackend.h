#pragma once
// The HID controller for real devices: hidapi (hidraw backend) for the devices, a libudev
// monitor on the hidraw subsystem for the change notification, watched on the GUI thread.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "link/Hid.h"

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace kx::link {

// True when a HID report descriptor declares report IDs (a Report ID item anywhere in it).
bool descriptorUsesReportIds(const std::uint8_t* descriptor, std::size_t length);

// An input report as hidraw reads it, in the form the data handler receives it: for a device
// with numbered reports the first byte is the report ID; for one without, hidraw delivers no
// report-ID byte, so the report ID is 0 and every byte read is data.
InputReport deliveredReport(bool numberedReports, const std::uint8_t* bytes, std::size_t length);

class HidapiController : public HidController {
 public:
  HidapiController();
  ~HidapiController() override;
  // Scans the devices again; raises the device change when the set changed.
  void rescan();
  // False when the system's device notifications could not be watched.
  bool watching() const { return notifier_ != nullptr; }

 private:
  void drainMonitor();

  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace kx::link
