// The main window's record file operations: Save Data and Open Data with their dialogs.

#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QTableView>

#include "app/KxApplication.h"
#include "app/TFrmTest.h"
#include "files/RecordFiles.h"
#include "records/RecordTableModel.h"

namespace kx {
namespace {

// Suspends the grid's updating from the table for as long as it lives.
class GridUpdatesSuspended {
 public:
  explicit GridUpdatesSuspended(RecordTable& t) : table_(t) { table_.disableControls(); }
  ~GridUpdatesSuspended() { table_.enableControls(); }
  GridUpdatesSuspended(const GridUpdatesSuspended&) = delete;
  GridUpdatesSuspended& operator=(const GridUpdatesSuspended&) = delete;

 private:
  RecordTable& table_;
};

std::optional<std::string> runModal(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

}  // namespace

QFileDialog* TFrmTest::saveDialog2() {
  if (!SaveDialog2) {
    SaveDialog2 = new QFileDialog(this);
    SaveDialog2->setObjectName("SaveDialog2");
    SaveDialog2->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog2->setFileMode(QFileDialog::AnyFile);
    SaveDialog2->setNameFilters({"Excel File(*.xls)", "XML(*.xml)", "Txt File(*.txt)"});
    SaveDialog2->selectNameFilter("Excel File(*.xls)");
    SaveDialog2->setDefaultSuffix("xls");
    SaveDialog2->setOption(QFileDialog::DontConfirmOverwrite, false);
  }
  return SaveDialog2;
}

QFileDialog* TFrmTest::openDialog1() {
  if (!OpenDialog1) {
    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName("OpenDialog1");
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name need not exist: a missing file fails in the load.
    OpenDialog1->setFileMode(QFileDialog::AnyFile);
    OpenDialog1->setNameFilters({"Excel File(*.xls)", "XML (*.xml)", "Txt File(*.txt)"});
    OpenDialog1->selectNameFilter("Excel File(*.xls)");
  }
  return OpenDialog1;
}

void TFrmTest::Save_asClick() {
  runCommand(*prompts_, [this] {
    QFileDialog& dialog = *saveDialog2();
    dialog.selectFile(QString());  // opens with an empty name
    const auto path = fileDialogRunner_ ? fileDialogRunner_->run(dialog) : runModal(dialog);
    if (!path) return;
    GridUpdatesSuspended suspended(cds1_);
    SaveTableToFile(cds1_, *path);
  });
}

void TFrmTest::SaveTableToFile(RecordTable& table, const std::string& path) {
  SaveOptions options;
  // The header lists the titles in the order the grid shows its columns now.
  const QHeaderView* header = DBGrid1->horizontalHeader();
  for (int visual = 0; visual < kFieldCount; ++visual) {
    const int logical = header->logicalIndex(visual);
    if (logical >= 0 && logical < kFieldCount)
      options.headerOrder[visual] = kGridColumns[logical].field;
  }
  const auto failure = saveRecordFile(table, path, options);
  if (!failure) {
    prompts_->notice(kSavedPrefix + path + kSavedSuffix);
  } else if (recordFileForm(path) == RecordFileForm::Text) {
    prompts_->notice(*failure);
  } else {
    prompts_->error(*failure);
  }
}

void TFrmTest::OpenClick() {
  runCommand(*prompts_, [this] {
    QFileDialog& dialog = *openDialog1();
    const auto path = fileDialogRunner_ ? fileDialogRunner_->run(dialog) : runModal(dialog);
    if (!path) return;
    // The dialog offers the name chosen last the next time.
    dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(*path)));
    GridUpdatesSuspended suspended(cds1_);
    LoadTableFromFile(*path, cds1_);
  });
}

void TFrmTest::LoadTableFromFile(const std::string& path, RecordTable& table) {
  if (auto failure = loadRecordFile(table, path)) prompts_->failure(kLoadFailedCaption, *failure);
}

}  // namespace kx
