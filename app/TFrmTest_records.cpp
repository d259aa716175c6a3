// The main window's recording operations: the recording step, the interval box and its
// countdown, the record limit menu and Delete Data.

#include "app/TFrmTest.h"

namespace kx {

RecordOutcome TFrmTest::INDataToTable(int mode) {
  // A failed interval conversion only drops this reading: no dialog opens from inside the
  // hand-over of a meter report, and later frames go on.
  return recorder_.INDataToTable(mode);
}

void TFrmTest::RecordSITimeChange() {
  if (auto error = recorder_.RecordSITimeChange()) prompts_->error(*error);
}

void TFrmTest::SampInterTimeTimer() {
  recorder_.SampInterTimeTimer();
}

void TFrmTest::setLimit(LimitItem item) {
  recorder_.setLimit(item);
  mirrorRecordControls();
}

void TFrmTest::ClearRClick() {
  if (!prompts_->confirm("Confirm",
                         "Do you want to remove the current data and create a new data?"))
    return;
  recorder_.clearRecords();
}

}  // namespace kx
