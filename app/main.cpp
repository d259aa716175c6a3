// kx3816: the window. `--demo` connects it to a simulated meter instead of the real bridge;
// `--demo FILE` plays the frame texts of FILE (one a line).

#include <QStringList>
#include <cstdio>
#include <memory>

#include "app/KxApplication.h"
#include "app/TFrmTest.h"
#include "link/SimBridge.h"

int main(int argc, char** argv) {
  kx::AppState state;  // start values before any window exists; outlives the window
  kx::KxApplication app(argc, argv);

  std::unique_ptr<kx::link::HidController> hidCtl;  // the real devices unless --demo
  const QStringList args = app.arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] != "--demo") continue;
    std::unique_ptr<kx::link::FrameSource> frames;
    if (i + 1 < args.size() && !args[i + 1].startsWith("-")) {
      std::string error;
      frames = kx::link::loadFrameFile(args[i + 1].toLocal8Bit().toStdString(), error);
      if (!frames) {
        std::fprintf(stderr, "kx3816: %s\n", error.c_str());
        return 2;
      }
    } else {
      frames = kx::link::makeDemoScenario();
    }
    hidCtl = std::make_unique<kx::link::SimBridge>(std::move(frames));
  }

  int rc = 0;
  {
    kx::TFrmTest window(state, nullptr, nullptr, std::move(hidCtl));
    app.setErrorPrompts(&window.prompts());
    window.show();
    rc = app.exec();
    app.setErrorPrompts(nullptr);
  }
  return rc;
}
