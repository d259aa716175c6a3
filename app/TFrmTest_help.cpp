// The help command: the program's own HTML help, kept as "mirel.hlp" beside the program.

#include <QFile>
#include <QTextBrowser>

#include "app/TFrmTest.h"

namespace kx {

void TFrmTest::HELP1Click() {
  const std::string path = state_.AppDir + "mirel.hlp";
  QFile file(QString::fromLocal8Bit(path));
  if (!file.open(QIODevice::ReadOnly)) {
    prompts_->information(kAppTitle, "Cannot open the help file " + path);
    return;
  }
  const QByteArray html = file.readAll();
  if (!helpWindow_) {
    auto* browser = new QTextBrowser;
    browser->setObjectName("HelpWindow");
    browser->setAttribute(Qt::WA_DeleteOnClose);
    browser->setWindowTitle("KX-3816 Help");
    browser->setOpenExternalLinks(false);
    browser->resize(560, 520);
    helpWindow_ = browser;
  }
  auto* browser = static_cast<QTextBrowser*>(helpWindow_.data());
  browser->setHtml(QString::fromUtf8(html));
  browser->scrollToAnchor("contents");
  browser->show();
  browser->raise();
  browser->activateWindow();
}

}  // namespace kx
