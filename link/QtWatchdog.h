#pragma once
// A QTimer as the link watchdog.

#include <QTimer>

#include "link/LinkController.h"

namespace kx::link {

class QtWatchdog : public Watchdog {
 public:
  explicit QtWatchdog(QTimer& timer) : timer_(timer) {}
  void setEnabled(bool on) override {
    if (on)
      timer_.start();
    else
      timer_.stop();
  }
  bool enabled() const override { return timer_.isActive(); }

 private:
  QTimer& timer_;
};

}  // namespace kx::link
