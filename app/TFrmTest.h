#pragma once
// The main window. Its methods carry the names of the operations they serve and hand the work
// to the logic libraries; the controls mirror the models that hold the state.
//
// The implementation is split by area: TFrmTest.cpp (construction, layout, start-up, end),
// TFrmTest_records.cpp (recording rules), and one file per further area.

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/core/AppState.h"
#include "app/core/Prompts.h"
#include "lcd/FrameDecoder.h"
#include "lcd/LcdModel.h"
#include "link/QtWatchdog.h"
#include "records/RecordTable.h"
#include "records/Recorder.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QFileDialog;
class QFrame;
class QLineEdit;
class QMenu;
class QTableView;
class QToolButton;

namespace kx {

namespace lcd {
class LcdPanel;
}
class PanelButton;
class RecordTableModel;

class TFrmTest : public QMainWindow {
  Q_OBJECT
 public:
  // `prompts` answers the window's questions; the window shows message boxes when it is null.
  // `hidCtl` is the HID controller the window owns as HidCtl; the real devices when null.
  explicit TFrmTest(AppState& state, Prompts* prompts = nullptr, QWidget* parent = nullptr,
                    std::unique_ptr<link::HidController> hidCtl = nullptr);
  ~TFrmTest() override;

  AppState& state() { return state_; }
  Prompts& prompts() { return *prompts_; }
  RecordTable& cds1() { return cds1_; }
  Recorder& recorder() { return recorder_; }
  RecordControls& recordControls() { return controls_; }
  const std::string& SystemDecimalSeparator() const { return systemDecimalSeparator_; }

  // --- Start-up and end ---
  void FormCreate();
  static std::string GetSystemDecimalSeparator();
  void Panel3Click();

  // --- Recording ---
  RecordOutcome INDataToTable(int mode);
  void RecordSITimeChange();
  void SampInterTimeTimer();
  void set1kClick() { setLimit(LimitItem::set1k); }
  void set5kClick() { setLimit(LimitItem::set5k); }
  void set10kClick() { setLimit(LimitItem::set10k); }
  void set50kClick() { setLimit(LimitItem::set50k); }
  void set100kClick() { setLimit(LimitItem::set100k); }
  void setlimitClick() { setLimit(LimitItem::setlimit); }
  void ClearRClick();

  // --- LCD ---
  // Decodes one frame text into the replica and the reading texts (see lcd::FrameDecoder):
  // restarts the link watchdog through Timer2Restart, and hands a reading to
  // INDataToTable(1). Never sleeps; the result's pauseMs is for the link's read side.
  lcd::DecodeResult ShowDataTarn(const std::string& frame);
  void DispInit(bool visible);
  // Set by the link: restarts the watchdog Timer2 (step one of every frame). Empty: nothing.
  std::function<void()> Timer2Restart;
  // The hold-back after each accepted frame, read by the link's read thread (500 ms;
  // tests set 0).
  int framePauseMs() const { return lcdDecoder_->pauseMs(); }
  void setFramePauseMs(int ms) { lcdDecoder_->setPauseMs(ms); }
  const lcd::LcdModel& lcdModel() const { return lcdModel_; }
  lcd::LcdPanel* lcdPanel() const { return lcdPanel_; }

 private:
  QFrame* createLcdPanel(QWidget* parent);  // the replica, as Panel4
  lcd::LcdModel lcdModel_;
  std::unique_ptr<lcd::FrameDecoder> lcdDecoder_;
  lcd::LcdPanel* lcdPanel_ = nullptr;

 public:
  // --- Link ---
  // The device list, Connect/Disconnect and the watchdog (see link::LinkController); the window
  // owns the HID controller HidCtl and the watchdog Timer2.
  void HidCtlDeviceChange();
  void ReadBtnClick();
  void Panel2Click();
  void USBConClick();
  void SetFeatureClick();
  void Timer2Timer();
  // The data handler of the bridge: reassembles frames and hands each to ShowDataTarn. Returns
  // how long the read thread holds back the next report.
  std::chrono::milliseconds ReadMirel(link::HidDevice& HidDev, std::uint8_t ReportID,
                                      const std::uint8_t* Data, std::uint16_t Size);
  link::HidController& HidCtl() { return *hidCtl_; }
  link::LinkController& linkControl() { return *link_; }
  const QTimer& timer2() const { return Timer2; }

 private:
  void createLink(std::unique_ptr<link::HidController> hidCtl);
  void shutDownLink();  // read threads end before anything they reach is destroyed
  std::unique_ptr<link::HidController> hidCtl_;
  QTimer Timer2;
  std::unique_ptr<link::QtWatchdog> timer2Watchdog_;
  std::unique_ptr<link::LinkController> link_;

 public:
  // --- Files ---
  void Save_asClick();
  void OpenClick();
  // Shows a file dialog and gives the chosen path (local 8-bit), or none when cancelled.
  // The window's own shows it modally; a test puts its own in its place.
  class FileDialogRunner {
   public:
    virtual ~FileDialogRunner() = default;
    virtual std::optional<std::string> run(QFileDialog& dialog) = 0;
  };
  void setFileDialogRunner(FileDialogRunner* runner) { fileDialogRunner_ = runner; }
  QFileDialog* saveDialog2();
  QFileDialog* openDialog1();

 private:
  void SaveTableToFile(RecordTable& table, const std::string& path);
  void LoadTableFromFile(const std::string& path, RecordTable& table);
  QFileDialog* SaveDialog2 = nullptr;
  QFileDialog* OpenDialog1 = nullptr;
  FileDialogRunner* fileDialogRunner_ = nullptr;

 public:
  // --- Report ---
  // Print Data: previews the record table as the data report, without blocking this window.
  // A second click while the preview is open brings it to the front.
  void MajPrintClick();
  // The report's before-print event: the footer's page total from DataReportPages.
  void QuickRep1BeforePrint(class DataReport& Sender, bool& PrintReport);
  QWidget* reportPreview() const { return reportPreview_; }

 private:
  void reportPreviewClosed();
  QPointer<QWidget> reportPreview_;

 public:
  // --- Help ---
  // Opens the contents of the help file "mirel.hlp" in the program's directory, or says that it
  // cannot. Bound to F1 in every window of the program while no modal box is open.
  void HELP1Click();
  QWidget* helpWindow() const { return helpWindow_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void buildLayout();
  void buildMenu();
  void mirrorRecordControls();  // controls follow RecordControls
  void setLimit(LimitItem item);
  void selectRow(int row);

  AppState& state_;
  std::unique_ptr<Prompts> ownPrompts_;
  Prompts* prompts_;
  std::string systemDecimalSeparator_;

  RecordTable cds1_;
  RecordControls controls_;
  Recorder recorder_;

  // Controls, named as the window's design names them.
  QWidget* central_ = nullptr;
  PanelButton* Panel2 = nullptr;
  PanelButton* Panel3 = nullptr;
  QFrame* Panel4 = nullptr;
  QFrame* Panel7 = nullptr;
  QCheckBox* RepeatSet = nullptr;
  QCheckBox* RecordSI = nullptr;
  QLineEdit* RecordSITime = nullptr;
  QToolButton* SpeedButton2 = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QToolButton* SpeedButton3 = nullptr;
  QToolButton* MajPrint = nullptr;
  QTableView* DBGrid1 = nullptr;
  RecordTableModel* DataSource1 = nullptr;
  QMenu* Rec = nullptr;
  QMenu* RecSet = nullptr;
  QActionGroup* limitGroup_ = nullptr;
  QTimer SampInterTime;
  QPointer<QWidget> helpWindow_;
};

}  // namespace kx
