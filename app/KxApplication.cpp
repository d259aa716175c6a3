#include "app/KxApplication.h"

#include <cstdio>

namespace kx {

KxApplication::KxApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("kx3816");
  setApplicationDisplayName(QString::fromLatin1(kAppTitle));
  setApplicationVersion("1.00");
}

bool KxApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  auto dispatch = [&] { handled = QApplication::notify(receiver, event); };
  if (prompts_) {
    runCommand(*prompts_, dispatch);
    return handled;
  }
  try {
    dispatch();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kx3816: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "kx3816: unknown error\n");
  }
  return handled;
}

}  // namespace kx
