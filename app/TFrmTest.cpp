#include "app/TFrmTest.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QTableView>
#include <QToolButton>
#include <cstring>

#include "app/KxApplication.h"
#include "app/QtPrompts.h"
#include "app/core/LocaleText.h"
#include "app/widgets/PanelButton.h"
#include "app/widgets/RecordIndicatorHeader.h"
#include "records/RecordTableModel.h"
#include "records/TimeText.h"

// The pictures are compiled into this library; a static library must register them itself.
static void initAppResources() {
  Q_INIT_RESOURCE(app);
}

namespace kx {
namespace {

constexpr char kProductCode[] = "KX-3816";
constexpr char kVersion[] = "1.00";

// Arial at a point size as the original screen (96 dpi) shows it, in pixels.
QFont arial(int points, bool bold = false) {
  QFont f("Arial");
  f.setPixelSize((points * 96 + 36) / 72);
  f.setBold(bold);
  f.setStyleHint(QFont::SansSerif);
  return f;
}

template <typename W>
W* place(W* w, const char* name, int l, int t, int width, int height) {
  w->setObjectName(QString::fromLatin1(name));
  w->setGeometry(l, t, width, height);
  return w;
}

}  // namespace

TFrmTest::TFrmTest(AppState& state, Prompts* prompts, QWidget* parent,
                   std::unique_ptr<link::HidController> hidCtl)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint),
      state_(state),
      ownPrompts_(prompts ? nullptr : std::make_unique<QtPrompts>(this)),
      prompts_(prompts ? prompts : ownPrompts_.get()),
      recorder_(state_, cds1_, controls_, localTimeOfDayMs) {
  setObjectName("FrmTest");
  initAppResources();
  buildLayout();
  buildMenu();
  SampInterTime.setObjectName("SampInterTime");
  SampInterTime.setInterval(1000);
  connect(&SampInterTime, &QTimer::timeout, this, [this] { SampInterTimeTimer(); });
  SampInterTime.start();
  // F1 is the program's help key in all its windows (the report preview included).
  qApp->installEventFilter(this);
  // The HID controller reports the devices present while the window is built.
  createLink(std::move(hidCtl));
  FormCreate();
}

TFrmTest::~TFrmTest() {
  shutDownLink();
  // The grid's model observes the table; it goes before the table does.
  if (DBGrid1) DBGrid1->setModel(nullptr);
  delete DataSource1;
  DataSource1 = nullptr;
}

void TFrmTest::buildLayout() {
  setWindowIcon(QIcon(":/icons/kx3816.svg"));
  central_ = new QWidget(this);
  central_->setObjectName("ClientArea");
  central_->setFixedSize(619, 526);
  setCentralWidget(central_);

  Panel2 = place(new PanelButton("Connect", central_), "Panel2", 414, 2, 119, 27);
  Panel2->setFont(arial(12));
  Panel3 = place(new PanelButton("Exit", central_), "Panel3", 536, 2, 81, 27);
  Panel3->setFont(arial(12));
  connect(Panel3, &PanelButton::clicked, this, [this] { Panel3Click(); });

  Panel4 = place(createLcdPanel(central_), "Panel4", 2, 30, 615, 289);

  Panel7 = place(new QFrame(central_), "Panel7", 2, 320, 615, 33);
  Panel7->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel7->setLineWidth(1);
  // Box and caption sit close together, as the original check boxes do.
  Panel7->setStyleSheet("QCheckBox { spacing: 3px; }");

  RepeatSet = place(new QCheckBox("Repeat", Panel7), "RepeatSet", 5, 5, 54, 20);
  RecordSI =
      place(new QCheckBox("Sampling Interval              'S", Panel7), "RecordSI", 60, 4, 167, 19);
  RecordSITime = place(new QLineEdit("10", Panel7), "RecordSITime", 166, 0, 29, 22);
  for (QWidget* w : {static_cast<QWidget*>(RepeatSet), static_cast<QWidget*>(RecordSI),
                     static_cast<QWidget*>(RecordSITime)})
    w->setFont(arial(8));
  RecordSITime->installEventFilter(this);
  connect(RepeatSet, &QCheckBox::toggled, this, [this](bool on) { controls_.repeatSet = on; });
  connect(RecordSI, &QCheckBox::toggled, this, [this](bool on) { controls_.recordSI = on; });
  connect(RecordSITime, &QLineEdit::textChanged, this, [this](const QString& text) {
    controls_.recordSITime = text.toLocal8Bit().toStdString();
    RecordSITimeChange();
  });

  auto imageButton = [this](const char* name, int l, int width, const char* hint,
                            const char* icon) {
    auto* b = place(new QToolButton(Panel7), name, l, 4, width, 21);
    b->setIcon(QIcon(QString::fromLatin1(icon)));
    b->setIconSize(QSize(16, 16));
    b->setToolTip(QString::fromLatin1(hint));
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(false);
    return b;
  };
  SpeedButton2 = imageButton("SpeedButton2", 501, 25, "Delete Data", ":/icons/cross.svg");
  SpeedButton1 = imageButton("SpeedButton1", 528, 25, "Save Data", ":/icons/floppy.svg");
  SpeedButton3 = imageButton("SpeedButton3", 555, 25, "Open Data", ":/icons/folder-open.svg");
  MajPrint = imageButton("MajPrint", 582, 29, "Print Data", ":/icons/printer.svg");
  connect(SpeedButton2, &QToolButton::clicked, this, [this] { ClearRClick(); });
  connect(MajPrint, &QToolButton::clicked, this, [this] { MajPrintClick(); });
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { Save_asClick(); });
  connect(SpeedButton3, &QToolButton::clicked, this, [this] { OpenClick(); });

  DBGrid1 = place(new QTableView(central_), "DBGrid1", 0, 348, 617, 177);
  DataSource1 = new RecordTableModel(cds1_);
  DataSource1->setObjectName("DataSource1");
  DBGrid1->setModel(DataSource1);
  DBGrid1->setFont(arial(8));
  DBGrid1->horizontalHeader()->setFont(arial(9));
  DBGrid1->horizontalHeader()->setSectionsMovable(true);
  DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  DBGrid1->horizontalHeader()->setHighlightSections(false);
  auto* indicator = new RecordIndicatorHeader(DBGrid1);
  indicator->setObjectName("RecordIndicator");
  DBGrid1->setVerticalHeader(indicator);
  DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  DBGrid1->verticalHeader()->setDefaultSectionSize(18);
  DBGrid1->verticalHeader()->setFixedWidth(11);
  DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DBGrid1->setTabKeyNavigation(false);
  DBGrid1->setShowGrid(true);
  DBGrid1->setWordWrap(false);
  for (int c = 0; c < kFieldCount; ++c) DBGrid1->setColumnWidth(c, kGridColumns[c].width);
  connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, indicator,
          [indicator](const QModelIndex& current) { indicator->setCurrentRow(current.row()); });
  connect(DataSource1, &RecordTableModel::currentRowChanged, this,
          [this](int row) { selectRow(row); });

  setTabOrder(RecordSITime, RecordSI);
  setTabOrder(RecordSI, RepeatSet);
  setTabOrder(RepeatSet, DBGrid1);
  // The window keeps the size of its client area and menu bar: it cannot be resized.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TFrmTest::buildMenu() {
  menuBar()->setObjectName("MainMenu1");
  Rec = menuBar()->addMenu("Record");
  Rec->setObjectName("Rec");
  RecSet = Rec->addMenu(" RecordSet");
  RecSet->setObjectName("RecSet");
  RecSet->menuAction()->setObjectName("RecSet");
  limitGroup_ = new QActionGroup(this);
  limitGroup_->setExclusive(true);
  for (const auto& choice : kLimitChoices) {
    QAction* a = RecSet->addAction(QString::fromLatin1(choice.caption));
    a->setObjectName(QString::fromLatin1(choice.name));
    a->setCheckable(true);
    limitGroup_->addAction(a);
    const LimitItem item = choice.item;
    connect(a, &QAction::triggered, this, [this, item] { setLimit(item); });
  }
}

void TFrmTest::FormCreate() {
  // 1. The program's directory, with its trailing delimiter.
  state_.AppDir = QCoreApplication::applicationDirPath().toLocal8Bit().toStdString();
  if (state_.AppDir.empty() || state_.AppDir.back() != '/') state_.AppDir += '/';
  // 2. The decimal symbol, read once.
  systemDecimalSeparator_ = GetSystemDecimalSeparator();
  // 3. The record limit menu shows the start value.
  recorder_.setLimit(LimitItem::set10k);
  // 4. The record table is created empty with its six fields and stays open.
  cds1_.clear();
  // 5. "Repeat" is ticked.
  controls_.repeatSet = true;
  mirrorRecordControls();
  // 6. The caption.
  char caption[64];
  std::snprintf(caption, sizeof caption, "%s V%s", kProductCode, kVersion);
  setWindowTitle(QString::fromLatin1(caption));
}

std::string TFrmTest::GetSystemDecimalSeparator() {
  return environmentDecimalSeparator();
}

void TFrmTest::Panel3Click() {
  QCoreApplication::quit();
}

void TFrmTest::closeEvent(QCloseEvent* e) {
  // Every close request is let through, without a question; nothing is saved.
  e->accept();
  QCoreApplication::quit();
}

void TFrmTest::mirrorRecordControls() {
  const QSignalBlocker b1(RepeatSet), b2(RecordSI), b3(RecordSITime);
  RepeatSet->setChecked(controls_.repeatSet);
  RecordSI->setChecked(controls_.recordSI);
  const QString text = QString::fromLocal8Bit(controls_.recordSITime);
  if (RecordSITime->text() != text) RecordSITime->setText(text);
  for (QAction* a : limitGroup_->actions())
    a->setChecked(
        a->objectName() ==
        QString::fromLatin1(kLimitChoices[static_cast<int>(recorder_.checkedLimit())].name));
}

bool TFrmTest::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
    // Only F1 alone, and only while no modal box of the program is open.
    const auto mods = static_cast<QKeyEvent*>(event)->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier && isEnabled() && !QApplication::activeModalWidget()) {
      HELP1Click();
      return true;
    }
  }
  if (watched == RecordSITime && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    // Keys that type nothing (arrows, Delete, Home, ...) move or edit as usual; a typed
    // character reaches the box only if the key filter lets it through. The clipboard keys
    // type control characters and are dropped with them.
    // Tab moves the focus on before any key filter sees it.
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
    const QString text = key->text();
    const bool clipboard = key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut) ||
                           key->matches(QKeySequence::Copy);
    if (clipboard) return true;
    if (!text.isEmpty()) {
      const QChar c = text.at(0);
      const char ch = c.unicode() < 128 ? static_cast<char>(c.unicode()) : '\x7f';
      if (!Recorder::RecordSITimeKeyPress(ch)) return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TFrmTest::selectRow(int row) {
  if (row < 0 || cds1_.controlsDisabled()) return;
  const QModelIndex index = DataSource1->index(row, 0);
  DBGrid1->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  DBGrid1->scrollTo(index);
}

}  // namespace kx
