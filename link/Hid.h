#pragma once
// The HID controller and its device objects, as the link uses them: enumeration, claim by index,
// product and serial strings, vendor and product ID, read/write access, the data handler with its
// read thread, feature reports and release. Two backends implement it: hidapi for real devices
// (HidapiBackend.h) and the simulated bridge (SimBridge.h).
//
// Everything here is called on the GUI thread. The only other thread is the read thread of a
// device with a data handler; it hands every report to the GUI thread and waits for the handler.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kx::link {

class HidDevice;
class ReadChannel;

// The data handler: called on the GUI thread once per input report, in order of arrival, with
// the report ID and the data bytes after it. Its result is how long the read thread waits before
// it reads the next report (the decoder's pause after a frame that passed its check; zero
// otherwise).
using DataHandler = std::function<std::chrono::milliseconds(
    HidDevice& device, std::uint8_t reportId, const std::uint8_t* data, std::uint16_t size)>;

// One input report as the platform delivers it: the report ID, then the data bytes.
struct InputReport {
  std::uint8_t reportId = 0;
  std::vector<std::uint8_t> data;
};

// Where a read thread gets its reports from. Used from the read thread only.
class ReportSource {
 public:
  virtual ~ReportSource() = default;
  enum class Result { Report, Timeout, Error };
  // Reads one report, waiting at most `timeout`.
  virtual Result read(InputReport& out, std::chrono::milliseconds timeout) = 0;
};

class HidDevice {
 public:
  virtual ~HidDevice();
  HidDevice() = default;
  HidDevice(const HidDevice&) = delete;
  HidDevice& operator=(const HidDevice&) = delete;

  virtual std::wstring productName() const = 0;   // empty when the device has none
  virtual std::wstring serialNumber() const = 0;  // empty when the device reports none
  virtual std::uint16_t vendorId() const = 0;
  virtual std::uint16_t productId() const = 0;
  virtual std::string path() const = 0;  // the system's name of the device, for listings
  // True when the device could be opened for reading and writing when this object was made.
  virtual bool hasReadWriteAccess() const = 0;
  // Sends a feature report (report ID first); true when the platform reports success.
  virtual bool sendFeatureReport(const std::uint8_t* report, std::size_t length) = 0;

  // Attaches a handler. If the device is claimed, plugged in and has read/write access, a read
  // thread starts.
  void setDataHandler(DataHandler handler);
  // Stops the read thread and waits for it to end. A report that the thread had already handed
  // over is still delivered to the old handler inside this call; none after it returns.
  void clearDataHandler();
  bool hasDataHandler() const { return static_cast<bool>(handler_); }
  const DataHandler& dataHandler() const { return handler_; }
  bool readThreadRunning() const { return channel_ != nullptr; }
  // True while a report read by the thread waits for the GUI thread.
  bool handOverPending() const;
  bool claimed() const { return claimed_; }

 protected:
  // Opens the device for reading; null when it cannot be read (unplugged, no access).
  virtual std::unique_ptr<ReportSource> openReports() = 0;

 private:
  friend class HidController;
  void setClaimed(bool claimed);
  void startReading();
  void stopReading();

  DataHandler handler_;
  std::shared_ptr<ReadChannel> channel_;
  bool claimed_ = false;
};

// The controller: owns the device objects of every HID device it knows.
class HidController {
 public:
  virtual ~HidController();
  HidController() = default;
  HidController(const HidController&) = delete;
  HidController& operator=(const HidController&) = delete;

  // Attaches the device-change handler and raises it once at once, with the devices present.
  // Afterwards it is raised on the GUI thread whenever a re-scan found the set of devices changed.
  void setDeviceChangeHandler(std::function<void()> handler);

  // Calls `onEnumerate` for each plugged-in device in list order; a false result stops.
  void enumerate(const std::function<bool(HidDevice& device, int index)>& onEnumerate);
  int deviceCount() const { return static_cast<int>(devices_.size()); }
  // Hands out the device at `index` for exclusive use; null if the index is out of range or the
  // device is already claimed. A device that already has a data handler starts reading.
  virtual HidDevice* claim(int index);
  // Returns a claimed device: its read thread stops, and the object goes back to the controller
  // (or is destroyed, if its device has gone in the meantime).
  void release(HidDevice* device);

 protected:
  // Replaces the device list by a fresh scan; raises the device change when the set of devices
  // (by `key`) differs from the previous one. Called by the backends on the GUI thread.
  struct Scanned {
    std::string key;  // identifies a device across scans
    std::unique_ptr<HidDevice> device;
  };
  void takeScan(std::vector<Scanned> scan);
  // True when `keys` are those of the current list (a scan would change nothing).
  bool sameDevices(const std::vector<std::string>& keys) const { return keys == keys_; }
  // Ends every read thread and drops every device; backends call it from their destructor.
  void shutDown();

 private:
  std::vector<std::unique_ptr<HidDevice>> devices_;
  std::vector<std::string> keys_;
  std::vector<std::unique_ptr<HidDevice>> retired_;  // claimed objects of devices that have gone
  std::function<void()> onDeviceChange_;
};

}  // namespace kx::link
