#include "link/HidapiBackend.h"

#include <hidapi/hidapi.h>
#include <libudev.h>

#include <QObject>
#include <QSocketNotifier>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kx::link {

bool descriptorUsesReportIds(const std::uint8_t* d, std::size_t length) {
  std::size_t i = 0;
  while (i < length) {
    const std::uint8_t prefix = d[i];
    if (prefix == 0xFE) {  // long item: size, tag, data
      if (i + 1 >= length) break;
      i += 3 + d[i + 1];
      continue;
    }
    const std::size_t size = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
    if ((prefix & 0xFC) == 0x84) return true;  // global item Report ID
    i += 1 + size;
  }
  return false;
}

InputReport deliveredReport(bool numberedReports, const std::uint8_t* bytes, std::size_t length) {
  InputReport r;
  if (length == 0) return r;
  if (numberedReports) {
    r.reportId = bytes[0];
    r.data.assign(bytes + 1, bytes + length);
  } else {
    r.reportId = 0;
    r.data.assign(bytes, bytes + length);
  }
  return r;
}

namespace {

std::wstring wide(const wchar_t* s) {
  return s ? std::wstring(s) : std::wstring();
}

// The report descriptor of a hidraw node, from sysfs.
bool readUsesReportIds(const std::string& devPath) {
  const auto slash = devPath.rfind('/');
  const std::string node = slash == std::string::npos ? devPath : devPath.substr(slash + 1);
  std::ifstream in("/sys/class/hidraw/" + node + "/device/report_descriptor", std::ios::binary);
  if (!in) return false;
  std::vector<std::uint8_t> desc((std::istreambuf_iterator<char>(in)),
                                 std::istreambuf_iterator<char>());
  return descriptorUsesReportIds(desc.data(), desc.size());
}

class HidapiSource : public ReportSource {
 public:
  HidapiSource(hid_device* handle, bool numbered) : handle_(handle), numbered_(numbered) {}
  ~HidapiSource() override { hid_close(handle_); }
  Result read(InputReport& out, std::chrono::milliseconds timeout) override {
    std::uint8_t buf[256];
    const int n = hid_read_timeout(handle_, buf, sizeof buf, static_cast<int>(timeout.count()));
    if (n < 0) return Result::Error;
    if (n == 0) return Result::Timeout;  // a read that returns no bytes is not passed on
    out = deliveredReport(numbered_, buf, static_cast<std::size_t>(n));
    return Result::Report;
  }

 private:
  hid_device* handle_;
  bool numbered_;
};

class HidapiDevice : public HidDevice {
 public:
  explicit HidapiDevice(const hid_device_info& info)
      : path_(info.path ? info.path : ""),
        product_(wide(info.product_string)),
        serial_(wide(info.serial_number)),
        vendor_(info.vendor_id),
        product_id_(info.product_id),
        numbered_(readUsesReportIds(path_)) {
    // The access test: the device opens for reading and writing. The handle stays for the
    // feature reports; the read thread opens a handle of its own.
    handle_ = hid_open_path(path_.c_str());
  }
  ~HidapiDevice() override {
    clearDataHandler();
    if (handle_) hid_close(handle_);
  }
  std::wstring productName() const override { return product_; }
  std::wstring serialNumber() const override { return serial_; }
  std::uint16_t vendorId() const override { return vendor_; }
  std::uint16_t productId() const override { return product_id_; }
  std::string path() const override { return path_; }
  bool hasReadWriteAccess() const override { return handle_ != nullptr; }
  bool sendFeatureReport(const std::uint8_t* report, std::size_t length) override {
    if (!handle_) handle_ = hid_open_path(path_.c_str());
    if (!handle_) return false;
    return hid_send_feature_report(handle_, report, length) >= 0;
  }

 protected:
  std::unique_ptr<ReportSource> openReports() override {
    hid_device* h = hid_open_path(path_.c_str());
    if (!h) return nullptr;
    return std::make_unique<HidapiSource>(h, numbered_);
  }

 private:
  std::string path_;
  std::wstring product_, serial_;
  std::uint16_t vendor_, product_id_;
  bool numbered_;
  hid_device* handle_ = nullptr;
};

}  // namespace

HidapiController::HidapiController() {
  hid_init();
  udev_ = udev_new();
  if (udev_) monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  if (monitor_ &&
      udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) >= 0 &&
      udev_monitor_enable_receiving(monitor_) >= 0) {
    const int fd = udev_monitor_get_fd(monitor_);
    if (fd >= 0) {
      notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
      QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                       [this] { drainMonitor(); });
    }
  }
  rescan();
}

HidapiController::~HidapiController() {
  notifier_.reset();
  shutDown();
  if (monitor_) udev_monitor_unref(monitor_);
  if (udev_) udev_unref(udev_);
  hid_exit();
}

void HidapiController::drainMonitor() {
  while (udev_device* d = udev_monitor_receive_device(monitor_)) udev_device_unref(d);
  rescan();
}

void HidapiController::rescan() {
  hid_device_info* list = hid_enumerate(0, 0);
  std::vector<std::string> keys;
  for (hid_device_info* i = list; i; i = i->next)
    keys.push_back(std::string(i->path ? i->path : "") + "|" + std::to_string(i->vendor_id) + ":" +
                   std::to_string(i->product_id));
  // Device objects open their device; make them only when the set has changed.
  if (!sameDevices(keys)) {
    std::vector<Scanned> scan;
    std::size_t k = 0;
    for (hid_device_info* i = list; i; i = i->next)
      scan.push_back({keys[k++], std::make_unique<HidapiDevice>(*i)});
    takeScan(std::move(scan));
  }
  hid_free_enumeration(list);
}

}  // namespace kx::link
