// The main window's LCD operations: the replica Panel4 and the decoding of every frame.

#include "app/TFrmTest.h"
#include "lcd/LcdPanel.h"

namespace kx {

QFrame* TFrmTest::createLcdPanel(QWidget* parent) {
  lcdDecoder_ = std::make_unique<lcd::FrameDecoder>(lcdModel_, state_);
  lcdDecoder_->setRestartWatchdog([this] {
    if (Timer2Restart) Timer2Restart();
  });
  lcdDecoder_->setRecordStep([this] { INDataToTable(1); });
  lcdPanel_ = new lcd::LcdPanel(parent);
  lcdPanel_->mirrorAll(lcdModel_);
  lcdModel_.takeChanges();
  return lcdPanel_;
}

lcd::DecodeResult TFrmTest::ShowDataTarn(const std::string& frame) {
  if (lcdDecoder_->decimalSeparator() != SystemDecimalSeparator())
    lcdDecoder_->setDecimalSeparator(SystemDecimalSeparator());
  lcd::DecodeResult result = lcdDecoder_->ShowDataTarn(frame);
  // The replica follows the model; only what changed is touched. The recording step has
  // already run, so the grid and the display show the same frame.
  lcdPanel_->mirror(lcdModel_, lcdModel_.takeChanges());
  return result;
}

void TFrmTest::DispInit(bool visible) {
  lcdDecoder_->DispInit(visible);
  lcdPanel_->mirror(lcdModel_, lcdModel_.takeChanges());
}

}  // namespace kx
