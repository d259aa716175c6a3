#include "link/LinkController.h"

#include <QString>
#include <cstdio>

namespace kx::link {

namespace {

// Wide text to 8-bit text in the locale's character set.
std::string toLocal8Bit(const std::wstring& w) {
  return QString::fromWCharArray(w.data(), static_cast<qsizetype>(w.size()))
      .toLocal8Bit()
      .toStdString();
}

}  // namespace

LinkController::LinkController(HidController& hidCtl, Watchdog& timer2, Prompts& prompts,
                               DataHandler readMirel)
    : hidCtl_(hidCtl), timer2_(timer2), prompts_(prompts), readMirel_(std::move(readMirel)) {}

LinkController::~LinkController() {
  shutDown();
}

void LinkController::shutDown() {
  for (DeviceEntry& e : model_.DevListBox) {
    if (e.device) {
      e.device->clearDataHandler();
      hidCtl_.release(e.device);
      e.device = nullptr;
    }
  }
  model_.DevListBox.clear();
  model_.ItemIndex = -1;
  selectedDevice_ = nullptr;
}

std::string LinkController::DeviceDisplayName(const HidDevice& device) {
  std::string name;
  const std::wstring product = device.productName();
  if (!product.empty()) {
    name = toLocal8Bit(product);
  } else {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Device VID=%.4X PID=%.4X", device.vendorId(),
                  device.productId());
    name = buf;
  }
  const std::wstring serial = device.serialNumber();
  if (!serial.empty()) name += " (Serial=" + toLocal8Bit(serial) + ")";
  return name;
}

HidDevice* LinkController::selectedEntryDevice() const {
  // An entry whose claim failed counts as no device.
  if (model_.DevListBox.empty() || model_.ItemIndex < 0 ||
      model_.ItemIndex >= static_cast<int>(model_.DevListBox.size()))
    return nullptr;
  return model_.DevListBox[model_.ItemIndex].device;
}

void LinkController::HidCtlDeviceChange() {
  ReadBtnClick();
  // The entries are taken out first: a report delivered while a device is released must not
  // find a half-emptied list.
  std::vector<DeviceEntry> old;
  old.swap(model_.DevListBox);
  model_.ItemIndex = -1;
  selectedDevice_ = nullptr;
  for (DeviceEntry& e : old)
    if (e.device) hidCtl_.release(e.device);
  hidCtl_.enumerate([this](HidDevice& dev, int idx) { return HidCtlEnumerate(dev, idx); });
  for (int i = 0; i < static_cast<int>(model_.DevListBox.size()); ++i)
    if (model_.DevListBox[i].text == kBridgeName) model_.ItemIndex = i;
}

bool LinkController::HidCtlEnumerate(HidDevice& hidDev, int idx) {
  DeviceEntry entry;
  entry.text = DeviceDisplayName(hidDev);
  entry.device = hidCtl_.claim(idx);
  model_.DevListBox.push_back(std::move(entry));
  return true;
}

void LinkController::ReadBtnClick() {
  selectedDevice_ = nullptr;
  if (HidDevice* dev = selectedEntryDevice()) {
    selectedDevice_ = dev;
    if (dev->hasReadWriteAccess()) dev->clearDataHandler();
  }
}

void LinkController::SetFeatureClick() {
  selectedDevice_ = nullptr;
  if (HidDevice* dev = selectedEntryDevice()) {
    selectedDevice_ = dev;
    // Not every chip of this kind may take the long form; when it is refused, the short form
    // goes out once more. Nothing else looks at the result.
    if (!dev->sendFeatureReport(kSetUpReport, sizeof kSetUpReport))
      dev->sendFeatureReport(kSetUpReport, kSetUpShortLength);
  } else if (!timer2_.enabled() && model_.USBCon) {
    prompts_.information("Information", kNotConnectedMessage);
    model_.USBCon = false;
  }
}

void LinkController::toggleSteps1to4() {
  model_.USBCon = !model_.USBCon;
  ReadBtnClick();
  SetFeatureClick();
  selectedDevice_ = nullptr;
  if (HidDevice* dev = selectedEntryDevice()) {
    selectedDevice_ = dev;
    if (!dev->hasReadWriteAccess())
      model_.USBCon = false;
    else if (model_.USBCon)
      dev->setDataHandler(readMirel_);
    else
      dev->clearDataHandler();
  }
}

void LinkController::USBConClick() {
  toggleSteps1to4();
  setCaption(model_.USBCon ? kDisconnect : kConnect);
}

void LinkController::Timer2Timer() {
  toggleSteps1to4();
}

void LinkController::Panel2Click() {
  timer2_.setEnabled(false);
  if (model_.Panel2Caption == kConnect) {
    USBConClick();
  } else {
    setCaption(kConnect);
    if (model_.USBCon) USBConClick();
  }
  // A last report delivered while the link was taken down can complete a frame, and the
  // decoder then restarts the watchdog; a Disconnect must stay one.
  if (model_.Panel2Caption == kConnect) timer2_.setEnabled(false);
}

void LinkController::setCaption(const std::string& caption) {
  model_.Panel2Caption = caption;
  if (onCaption_) onCaption_(caption);
}

}  // namespace kx::link
