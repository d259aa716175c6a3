#pragma once
// Connection control: the device list and the selection of the bridge, the Connect/Disconnect
// panel, the link toggle, the bridge set-up report and the link watchdog, as logic over the HID
// controller. The window owns one and mirrors its model (the caption of Panel2).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/core/Prompts.h"
#include "link/Hid.h"

namespace kx::link {

// The watchdog timer (Timer2): 1000 ms, disabled at start. Its owner calls
// LinkController::Timer2Timer on every tick.
class Watchdog {
 public:
  virtual ~Watchdog() = default;
  virtual void setEnabled(bool on) = 0;
  virtual bool enabled() const = 0;
  // The decoder's restart: disable and enable again, so the next tick comes a full interval on.
  void restart() {
    setEnabled(false);
    setEnabled(true);
  }
};

inline constexpr char kConnect[] = "Connect";
inline constexpr char kDisconnect[] = "Disconnect";
inline constexpr char kBridgeName[] = "USB to Serial";
inline constexpr char kNotConnectedMessage[] =
    "USB interface cable is not securely connected, please check and re-try.";

// The bridge set-up report: report ID 0, 2400 as a 32-bit little-endian number, 03, zeros.
inline constexpr std::uint8_t kSetUpReport[10] = {0x00, 0x60, 0x09, 0x00, 0x00,
                                                  0x03, 0x00, 0x00, 0x00, 0x00};
// Its short form, as the public drivers of these bridge chips send it.
inline constexpr std::size_t kSetUpShortLength = 6;

struct DeviceEntry {
  std::string text;             // DeviceDisplayName
  HidDevice* device = nullptr;  // the claimed object; none when the claim failed
};

// The hidden state of the link.
struct LinkModel {
  bool USBCon = false;  // down state of the two-state button: the link is up
  std::string Panel2Caption = kConnect;
  std::vector<DeviceEntry> DevListBox;  // never shown
  int ItemIndex = -1;                   // the selected entry, -1 for none
};

class LinkController {
 public:
  // `readMirel` is the data handler attached when the link comes up.
  LinkController(HidController& hidCtl, Watchdog& timer2, Prompts& prompts, DataHandler readMirel);
  ~LinkController();
  LinkController(const LinkController&) = delete;
  LinkController& operator=(const LinkController&) = delete;

  // Device discovery.
  void HidCtlDeviceChange();
  bool HidCtlEnumerate(HidDevice& hidDev, int idx);
  void ReadBtnClick();
  static std::string DeviceDisplayName(const HidDevice& device);

  // Connection control.
  void Panel2Click();
  void USBConClick();
  void SetFeatureClick();
  void Timer2Timer();

  // Detaches and returns every device; no report arrives afterwards. For the end of the program.
  void shutDown();

  const LinkModel& model() const { return model_; }
  HidDevice* SelectedDevice() const { return selectedDevice_; }
  // Called whenever the caption of Panel2 is set.
  void setCaptionObserver(std::function<void(const std::string&)> f) { onCaption_ = std::move(f); }

 private:
  HidDevice* selectedEntryDevice() const;
  void toggleSteps1to4();
  void setCaption(const std::string& caption);

  HidController& hidCtl_;
  Watchdog& timer2_;
  Prompts& prompts_;
  DataHandler readMirel_;
  LinkModel model_;
  HidDevice* selectedDevice_ = nullptr;
  std::function<void(const std::string&)> onCaption_;
};

}  // namespace kx::link
