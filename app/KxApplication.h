#pragma once
// The application object. Its event dispatch is the one place where an error that a command
// did not handle is reported to the user (the general error report); the program goes on.

#include <QApplication>

#include "app/core/Prompts.h"

namespace kx {

class KxApplication : public QApplication {
 public:
  KxApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
  // Where errors are reported; the main window sets it once it exists.
  void setErrorPrompts(Prompts* p) { prompts_ = p; }

 private:
  Prompts* prompts_ = nullptr;
};

// Runs `command`; an exception it throws ends it and is shown by `prompts`' error report.
// Returns false when the command ended with an error.
template <typename F>
bool runCommand(Prompts& prompts, F&& command);

}  // namespace kx

#include "app/KxApplication.inl"
