#pragma once
// The read thread of one device and its hand-over to the GUI thread.
//
// The thread reads one report at a time (with a short timeout, so that a stop is noticed), posts
// it to the GUI thread and waits until the handler has returned; then it waits the pause the
// handler asked for (a stop ends that wait at once). `stop` on the GUI thread ends the thread and
// waits for it while still delivering a report already handed over, so the two threads never
// wait for each other; once `stop` has returned no report is delivered.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "link/Hid.h"

class QSocketNotifier;

namespace kx::link {

class ReadChannel : public std::enable_shared_from_this<ReadChannel> {
 public:
  // How long one read waits before the thread looks for a stop, and how long it rests after a
  // read error before it tries again.
  static constexpr std::chrono::milliseconds kReadTimeout{50};
  static constexpr std::chrono::milliseconds kErrorRest{100};

  // Starts the thread. Called on the GUI thread, whose event loop delivers the reports.
  static std::shared_ptr<ReadChannel> start(HidDevice& device, std::unique_ptr<ReportSource> source,
                                            DataHandler handler);
  ~ReadChannel();
  ReadChannel(const ReadChannel&) = delete;
  ReadChannel& operator=(const ReadChannel&) = delete;

  // GUI thread. See above. Called from inside this channel's own hand-over (the handler ran a
  // nested event loop that detached the device), it only tells the thread to end; the thread is
  // then joined as soon as that hand-over returns.
  void stop();
  bool handOverPending() const;

 private:
  ReadChannel(HidDevice& device, std::unique_ptr<ReportSource> source, DataHandler handler);
  void run();
  void deliver();
  void join();
  void wake();

  // The thread wakes the GUI thread through an eventfd watched there: a plain file descriptor
  // keeps every hand-over inside this class's own locking.
  int wakeFd_ = -1;
  QSocketNotifier* notifier_ = nullptr;

  HidDevice& device_;
  std::unique_ptr<ReportSource> source_;
  DataHandler handler_;
  std::thread thread_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stopRequested_ = false;
  bool finished_ = false;
  std::optional<InputReport> pending_;  // handed over, not yet taken by the GUI thread
  bool handing_ = false;                // a hand-over is under way (pending or being delivered)
  bool delivering_ = false;             // the GUI thread is inside the handler
  bool joinAfterDelivery_ = false;
  std::chrono::milliseconds pause_{0};
};

}  // namespace kx::link
