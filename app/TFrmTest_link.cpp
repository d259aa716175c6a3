// The main window's link operations: the HID controller HidCtl with its hidden device list, the
// Connect/Disconnect panel, the watchdog Timer2 and the data handler ReadMirel.

#include <QLabel>

#include "app/KxApplication.h"
#include "app/TFrmTest.h"
#include "app/widgets/PanelButton.h"
#include "link/FrameAssembler.h"
#include "link/HidapiBackend.h"

namespace kx {

void TFrmTest::createLink(std::unique_ptr<link::HidController> hidCtl) {
  hidCtl_ = hidCtl ? std::move(hidCtl) : std::make_unique<link::HidapiController>();
  Timer2.setObjectName("Timer2");
  Timer2.setInterval(1000);
  Timer2.stop();
  timer2Watchdog_ = std::make_unique<link::QtWatchdog>(Timer2);
  link_ = std::make_unique<link::LinkController>(
      *hidCtl_, *timer2Watchdog_, prompts(),
      [this](link::HidDevice& dev, std::uint8_t id, const std::uint8_t* data, std::uint16_t size) {
        return ReadMirel(dev, id, data, size);
      });
  link_->setCaptionObserver(
      [this](const std::string& caption) { Panel2->setText(QString::fromLatin1(caption)); });
  Timer2Restart = [this] { timer2Watchdog_->restart(); };
  connect(&Timer2, &QTimer::timeout, this,
          [this] { runCommand(prompts(), [this] { Timer2Timer(); }); });
  connect(Panel2, &PanelButton::clicked, this,
          [this] { runCommand(prompts(), [this] { Panel2Click(); }); });
  // Attaching the handler raises the first device change: the list is filled and the bridge
  // selected before FormCreate runs.
  hidCtl_->setDeviceChangeHandler(
      [this] { runCommand(prompts(), [this] { HidCtlDeviceChange(); }); });
}

void TFrmTest::shutDownLink() {
  if (!link_) return;
  Timer2.stop();
  hidCtl_->setDeviceChangeHandler(nullptr);
  link_->shutDown();
  link_.reset();
  hidCtl_.reset();
  Timer2Restart = nullptr;
}

void TFrmTest::HidCtlDeviceChange() {
  link_->HidCtlDeviceChange();
}
void TFrmTest::ReadBtnClick() {
  link_->ReadBtnClick();
}
void TFrmTest::Panel2Click() {
  link_->Panel2Click();
}
void TFrmTest::USBConClick() {
  link_->USBConClick();
}
void TFrmTest::SetFeatureClick() {
  link_->SetFeatureClick();
}
void TFrmTest::Timer2Timer() {
  link_->Timer2Timer();
}

std::chrono::milliseconds TFrmTest::ReadMirel(link::HidDevice& /*HidDev*/, std::uint8_t ReportID,
                                              const std::uint8_t* Data, std::uint16_t Size) {
  int pauseMs = 0;
  runCommand(prompts(), [&] {
    link::takeReport(state_, ReportID, Data, Size, [&](const std::string& frame) {
      // The link label keeps its design caption.
      if (auto* rsUSB = findChild<QLabel*>("rsUSB"); rsUSB && rsUSB->text() != "USB")
        rsUSB->setText("USB");
      pauseMs = ShowDataTarn(frame).pauseMs;
    });
  });
  return std::chrono::milliseconds(pauseMs);
}

}  // namespace kx
