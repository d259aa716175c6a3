#include "link/Hid.h"

#include <algorithm>

#include "link/ReadChannel.h"

namespace kx::link {

HidDevice::~HidDevice() {
  stopReading();
}

void HidDevice::setDataHandler(DataHandler handler) {
  stopReading();
  handler_ = std::move(handler);
  startReading();
}

void HidDevice::clearDataHandler() {
  handler_ = nullptr;
  stopReading();
}

bool HidDevice::handOverPending() const {
  return channel_ && channel_->handOverPending();
}

void HidDevice::setClaimed(bool claimed) {
  claimed_ = claimed;
  if (claimed)
    startReading();
  else
    stopReading();
}

void HidDevice::startReading() {
  if (!claimed_ || !handler_ || channel_ || !hasReadWriteAccess()) return;
  std::unique_ptr<ReportSource> source = openReports();
  if (!source) return;
  channel_ = ReadChannel::start(*this, std::move(source), handler_);
}

void HidDevice::stopReading() {
  if (!channel_) return;
  std::shared_ptr<ReadChannel> channel = std::move(channel_);
  channel->stop();
}

HidController::~HidController() = default;

void HidController::shutDown() {
  for (auto& d : devices_) d->stopReading();
  for (auto& d : retired_) d->stopReading();
  devices_.clear();
  retired_.clear();
  keys_.clear();
}

void HidController::setDeviceChangeHandler(std::function<void()> handler) {
  onDeviceChange_ = std::move(handler);
  if (onDeviceChange_) onDeviceChange_();
}

void HidController::enumerate(const std::function<bool(HidDevice&, int)>& onEnumerate) {
  for (int i = 0; i < static_cast<int>(devices_.size()); ++i) {
    // The handler may claim; the list itself does not change during the enumeration.
    if (!onEnumerate(*devices_[i], i)) break;
  }
}

HidDevice* HidController::claim(int index) {
  if (index < 0 || index >= static_cast<int>(devices_.size())) return nullptr;
  HidDevice* d = devices_[index].get();
  if (d->claimed()) return nullptr;
  d->setClaimed(true);
  return d;
}

void HidController::release(HidDevice* device) {
  if (!device) return;
  auto it = std::find_if(retired_.begin(), retired_.end(),
                         [device](const auto& p) { return p.get() == device; });
  if (it != retired_.end()) {
    std::unique_ptr<HidDevice> gone = std::move(*it);
    retired_.erase(it);
    gone->setClaimed(false);
    return;
  }
  for (auto& d : devices_)
    if (d.get() == device) d->setClaimed(false);
}

void HidController::takeScan(std::vector<Scanned> scan) {
  std::vector<std::string> keys;
  keys.reserve(scan.size());
  for (const auto& s : scan) keys.push_back(s.key);
  if (keys == keys_) return;  // nothing changed: the objects stay as they are
  // Fresh objects for every device; the claimed old ones stay alive until they are released.
  for (auto& d : devices_) {
    if (d->claimed())
      retired_.push_back(std::move(d));
    else
      d->stopReading();
  }
  devices_.clear();
  for (auto& s : scan) devices_.push_back(std::move(s.device));
  keys_ = std::move(keys);
  if (onDeviceChange_) onDeviceChange_();
}

}  // namespace kx::link
