// Renders the main window offscreen in the design state and after the sample frames A, B and D
// and saves lcd-design.png, lcd-frame-a.png, lcd-frame-b.png, lcd-frame-d.png in a folder.

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>

#include "app/TFrmTest.h"
#include "tests/support/FakePrompts.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(folder);
  kx::AppState state;
  kx::test::FakePrompts prompts;
  kx::TFrmTest w(state, &prompts);
  w.setFramePauseMs(0);
  w.show();
  auto save = [&](const char* name) {
    QApplication::processEvents();
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    if (!w.grab().save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
  };
  bool ok = save("lcd-design.png");
  w.ShowDataTarn("00000001000000000000E3A7DFB510000000000F0D0A");
  ok = save("lcd-frame-a.png") && ok;
  w.ShowDataTarn("F30000007D7AE07D00100EE3A7368057D7DFD0EF0D0A");
  ok = save("lcd-frame-b.png") && ok;
  w.ShowDataTarn("000000050000000000000006EBB510000000000F0D0A");
  ok = save("lcd-frame-d.png") && ok;
  return ok ? 0 : 1;
}
